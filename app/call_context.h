// Context for a callback that is given only a window handle (an enumeration's
// or a sort's), attached to that window as a property for exactly the length
// of the call. Reading a property is a round trip to the window server (about
// 60 us under Wine) and such a callback runs thousands of times per call, so
// it is read once, at the first callback of each call.
#ifndef VANTORA_CALL_CONTEXT_H
#define VANTORA_CALL_CONTEXT_H

#include <windows.h>

struct CallContext {
    const char* property;
    HWND readFrom;  // the window it was read from during this call, or NULL
    HANDLE value;
};

// Attaches `value` to `window` for the call that follows.
void BeginCallContext(CallContext* context, HWND window, HANDLE value);
// Takes it off again once the call is over.
void EndCallContext(CallContext* context, HWND window);
// The value attached to `window` (NULL when there is none), for callbacks.
HANDLE ReadCallContext(CallContext* context, HWND window);

#endif
