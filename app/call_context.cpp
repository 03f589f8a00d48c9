#include "app/call_context.h"

void BeginCallContext(CallContext* context, HWND window, HANDLE value)
{
    SetPropA(window, context->property, value);
    context->readFrom = NULL;
}

void EndCallContext(CallContext* context, HWND window)
{
    RemovePropA(window, context->property);
}

HANDLE ReadCallContext(CallContext* context, HWND window)
{
    if (context->readFrom != window) {
        context->value = GetPropA(window, context->property);
        context->readFrom = window;
    }
    return context->value;
}
