#include "operations/bounded_changes.h"

#include <stdlib.h>
#include <string.h>

#include "app/geometry.h"

static volatile LONG pendingChanges;

static WindowStep* NextStep(WindowChange* change)
{
    if (change->stepCount >= (int)(sizeof(change->steps) / sizeof(change->steps[0])))
        return NULL;
    WindowStep* step = &change->steps[change->stepCount++];
    memset(step, 0, sizeof(*step));
    return step;
}

void AddEnableStep(WindowChange* change, BOOL enable)
{
    if (WindowStep* step = NextStep(change)) {
        step->kind = STEP_ENABLE;
        step->value = enable;
    }
}

void AddShowStep(WindowChange* change, int showCommand)
{
    if (WindowStep* step = NextStep(change)) {
        step->kind = STEP_SHOW;
        step->value = showCommand;
    }
}

void AddTopmostStep(WindowChange* change, BOOL topmost)
{
    if (WindowStep* step = NextStep(change)) {
        step->kind = STEP_TOPMOST;
        step->value = topmost;
    }
}

void AddSetPosStep(WindowChange* change, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    if (WindowStep* step = NextStep(change)) {
        step->kind = STEP_SET_POS;
        step->insertAfter = insertAfter;
        step->x = x;
        step->y = y;
        step->cx = cx;
        step->cy = cy;
        step->flags = flags;
    }
}

void AddSetTextStep(WindowChange* change, const char* text)
{
    if (WindowStep* step = NextStep(change)) {
        step->kind = STEP_SET_TEXT;
        change->text = text;
    }
}

void AddActivateStep(WindowChange* change)
{
    if (WindowStep* step = NextStep(change))
        step->kind = STEP_ACTIVATE;
}

static void MakeStep(HWND window, const WindowStep* step, const char* text)
{
    switch (step->kind) {
    case STEP_ENABLE: EnableWindow(window, step->value); break;
    case STEP_SHOW: ShowWindow(window, step->value); break;
    case STEP_TOPMOST: SetTopmostState(window, step->value); break;
    case STEP_SET_POS:
        SetWindowPos(window, step->insertAfter, step->x, step->y, step->cx, step->cy, step->flags);
        break;
    case STEP_SET_TEXT: SetWindowTextA(window, text); break;
    case STEP_ACTIVATE:
        // Restored without activation first, so that a minimised window
        // comes back where it was before it is brought up.
        if (IsIconic(window))
            ShowWindow(window, SW_SHOWNOACTIVATE);
        BringWindowToTop(window);
        SetForegroundWindow(window);
        break;
    }
}

// The change and its text in one block, owned by the thread that makes it.
static DWORD WINAPI MakeWindowChange(void* parameter)
{
    WindowChange* change = (WindowChange*)parameter;
    for (int i = 0; i < change->stepCount; ++i)
        MakeStep(change->target, &change->steps[i], change->text);
    free(change);
    InterlockedDecrement(&pendingChanges);
    return 0;
}

static BOOL WaitAnsweringSentMessages(HANDLE thread, DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return FALSE;
        DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, ms - elapsed, QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0)
            return TRUE;
        if (woke != WAIT_OBJECT_0 + 1)
            return FALSE;
        // Only sent messages are handled here; posted ones wait for the
        // message loop, as they would during a direct call.
        MSG message;
        PeekMessageA(&message, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

BOOL RunWindowChange(const WindowChange* change)
{
    size_t textSize = change->text != NULL ? strlen(change->text) + 1 : 0;
    WindowChange* copy = (WindowChange*)malloc(sizeof(WindowChange) + textSize);
    if (copy == NULL)
        return FALSE;
    memcpy(copy, change, sizeof(WindowChange));
    if (textSize != 0) {
        char* text = (char*)(copy + 1);
        memcpy(text, change->text, textSize);
        copy->text = text;
    }
    InterlockedIncrement(&pendingChanges);
    HANDLE thread = CreateThread(NULL, 256 * 1024, MakeWindowChange, copy, STACK_SIZE_PARAM_IS_A_RESERVATION, NULL);
    if (thread == NULL) {
        InterlockedDecrement(&pendingChanges);
        free(copy);
        return FALSE;
    }
    BOOL done = WaitAnsweringSentMessages(thread, CHANGE_WAIT_MS);
    CloseHandle(thread);  // a change still waiting finishes and ends on its own
    return done;
}

BOOL EnableWindowBounded(HWND window, BOOL enable)
{
    WindowChange change = {};
    change.target = window;
    AddEnableStep(&change, enable);
    return RunWindowChange(&change);
}

BOOL ShowWindowBounded(HWND window, int showCommand)
{
    WindowChange change = {};
    change.target = window;
    AddShowStep(&change, showCommand);
    return RunWindowChange(&change);
}

BOOL SetTopmostBounded(HWND window, BOOL topmost)
{
    WindowChange change = {};
    change.target = window;
    AddTopmostStep(&change, topmost);
    return RunWindowChange(&change);
}

BOOL SetWindowTextBounded(HWND window, const char* text)
{
    WindowChange change = {};
    change.target = window;
    AddSetTextStep(&change, text);
    return RunWindowChange(&change);
}

BOOL ActivateWindowBounded(HWND window)
{
    WindowChange change = {};
    change.target = window;
    AddActivateStep(&change);
    return RunWindowChange(&change);
}

LONG PendingWindowChanges()
{
    return pendingChanges;
}
