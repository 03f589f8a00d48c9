#include "app/call_context.h"

void BeginCallContext(CallContext* context, HWND window, HANDLE value)
{
    SetPropA(window, context->property, value);
    // A read outside a call may have found nothing and kept that: every
    // call starts from the property itself.
    context->readFrom = NULL;
}

void EndCallContext(CallContext* context, HWND window)
{
    RemovePropA(window, context->property);
    // Forgotten with the property: a read outside a call finds nothing,
    // never a value that has gone with the call.
    context->readFrom = NULL;
}

HANDLE ReadCallContext(CallContext* context, HWND window)
{
    if (context->readFrom != window) {
        context->value = GetPropA(window, context->property);
        context->readFrom = window;
    }
    return context->value;
}
