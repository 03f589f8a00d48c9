#include "operations/bounded_changes.h"

#include <stdlib.h>
#include <string.h>

#include "app/geometry.h"
#include "resources/resource_ids.h"

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

static void AddPosStep(WindowChange* change, WindowStepKind kind, HWND insertAfter, int x, int y, int cx, int cy,
                       UINT flags)
{
    if (WindowStep* step = NextStep(change)) {
        step->kind = kind;
        step->insertAfter = insertAfter;
        step->x = x;
        step->y = y;
        step->cx = cx;
        step->cy = cy;
        step->flags = flags;
    }
}

void AddSetPosStep(WindowChange* change, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    AddPosStep(change, STEP_SET_POS, insertAfter, x, y, cx, cy, flags);
}

void AddSetNormalPosStep(WindowChange* change, int x, int y, int cx, int cy, UINT flags)
{
    AddPosStep(change, STEP_SET_NORMAL_POS, NULL, x, y, cx, cy, flags);
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
    case STEP_SET_NORMAL_POS: {
        POINT offset = GetPlacementOffset(window);
        SetWindowPos(window, step->insertAfter, step->x + offset.x, step->y + offset.y, step->cx, step->cy,
                     step->flags);
        break;
    }
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

// A change waiting its turn (or being made), with its text after it. It
// belongs to the thread that makes it and, while it waits, to the caller.
struct QueuedChange {
    QueuedChange* next;
    LONG ticket;
    HANDLE made;        // set once the change has been made
    bool done;
    bool late;          // the caller stopped waiting before it was made
    int owners;
    WindowChange change;
};

// The changes for one window, made one after the other by one thread.
struct WindowQueue {
    WindowQueue* next;
    HWND target;
    QueuedChange* first;  // the one being made
    QueuedChange* last;
};

static WindowQueue* queues;
static LONG lastTicket;
static volatile LONG queueThreads;

static CRITICAL_SECTION* QueueLock()
{
    static CRITICAL_SECTION lock;
    static bool ready = (InitializeCriticalSection(&lock), true);
    (void)ready;
    return &lock;
}

static WindowQueue** FindQueue(HWND target)
{
    WindowQueue** link = &queues;
    while (*link != NULL && (*link)->target != target)
        link = &(*link)->next;
    return link;
}

// Drops one owner's hold; the last one frees the change. Called under the lock.
static bool Release(QueuedChange* item)
{
    return --item->owners == 0;
}

static void Free(QueuedChange* item)
{
    CloseHandle(item->made);
    free(item);
}

static DWORD WINAPI MakeQueuedChanges(void* parameter)
{
    WindowQueue* queue = (WindowQueue*)parameter;
    for (;;) {
        EnterCriticalSection(QueueLock());
        QueuedChange* item = queue->first;
        LeaveCriticalSection(QueueLock());
        for (int i = 0; i < item->change.stepCount; ++i)
            MakeStep(item->change.target, &item->change.steps[i], item->change.text);

        EnterCriticalSection(QueueLock());
        item->done = true;
        SetEvent(item->made);
        queue->first = item->next;
        bool last = queue->first == NULL;
        if (last)
            *FindQueue(queue->target) = queue->next;
        // Told once, when the last of the late changes has been made.
        bool notify = item->late && last;
        HWND listener = item->change.notify;
        bool freeItem = Release(item);
        LeaveCriticalSection(QueueLock());

        InterlockedDecrement(&pendingChanges);
        if (notify && listener != NULL)
            PostMessageA(listener, WM_COMMAND, CMD_REFRESH, 0);  // never sent: the dialog may be waiting
        if (freeItem)
            Free(item);
        if (last) {
            free(queue);
            InterlockedDecrement(&queueThreads);
            return 0;
        }
    }
}

static BOOL WaitAnsweringSentMessages(HANDLE event, DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return FALSE;
        DWORD woke = MsgWaitForMultipleObjects(1, &event, FALSE, ms - elapsed, QS_SENDMESSAGE);
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

// Puts the change at the end of its window's queue, starting the queue's
// thread if there was none. NULL when that cannot be done; `behind` tells
// whether earlier changes were still waiting.
static QueuedChange* Enqueue(const WindowChange* change, bool* behind)
{
    size_t textSize = change->text != NULL ? strlen(change->text) + 1 : 0;
    QueuedChange* item = (QueuedChange*)calloc(1, sizeof(QueuedChange) + textSize);
    if (item == NULL)
        return NULL;
    item->change = *change;
    if (textSize != 0) {
        char* text = (char*)(item + 1);
        memcpy(text, change->text, textSize);
        item->change.text = text;
    }
    item->made = CreateEventA(NULL, TRUE, FALSE, NULL);
    item->owners = 2;
    EnterCriticalSection(QueueLock());
    WindowQueue** link = FindQueue(change->target);
    *behind = *link != NULL;
    bool queued = true;
    if (*behind) {
        (*link)->last->next = item;
        (*link)->last = item;
    } else {
        WindowQueue* queue = (WindowQueue*)calloc(1, sizeof(WindowQueue));
        HANDLE thread = NULL;
        if (queue != NULL && item->made != NULL) {
            queue->target = change->target;
            queue->first = queue->last = item;
            *link = queue;
            thread = CreateThread(NULL, 256 * 1024, MakeQueuedChanges, queue, STACK_SIZE_PARAM_IS_A_RESERVATION, NULL);
            if (thread == NULL)
                *link = NULL;
        }
        queued = thread != NULL;
        if (queued) {
            CloseHandle(thread);
            InterlockedIncrement(&queueThreads);
        } else {
            free(queue);
        }
    }
    if (queued) {
        item->ticket = ++lastTicket;
        InterlockedIncrement(&pendingChanges);
    }
    LeaveCriticalSection(QueueLock());
    if (!queued) {
        if (item->made != NULL)
            CloseHandle(item->made);
        free(item);
        return NULL;
    }
    return item;
}

BOOL RunWindowChange(const WindowChange* change, LONG* ticket)
{
    bool behind = false;
    QueuedChange* item = Enqueue(change, &behind);
    if (ticket != NULL)
        *ticket = item != NULL ? item->ticket : 0;
    if (item == NULL)
        return FALSE;
    // Behind a change still waiting for a hung window, this one can only wait too.
    if (!behind)
        WaitAnsweringSentMessages(item->made, CHANGE_WAIT_MS);
    EnterCriticalSection(QueueLock());
    BOOL done = item->done;
    item->late = !done;
    bool freeItem = Release(item);
    LeaveCriticalSection(QueueLock());
    if (freeItem)
        Free(item);
    return done;
}

BOOL EnableWindowBounded(HWND window, BOOL enable, HWND notify, LONG* ticket)
{
    WindowChange change = {};
    change.target = window;
    change.notify = notify;
    AddEnableStep(&change, enable);
    return RunWindowChange(&change, ticket);
}

BOOL ShowWindowBounded(HWND window, int showCommand, HWND notify, LONG* ticket)
{
    WindowChange change = {};
    change.target = window;
    change.notify = notify;
    AddShowStep(&change, showCommand);
    return RunWindowChange(&change, ticket);
}

BOOL SetTopmostBounded(HWND window, BOOL topmost, HWND notify, LONG* ticket)
{
    WindowChange change = {};
    change.target = window;
    change.notify = notify;
    AddTopmostStep(&change, topmost);
    return RunWindowChange(&change, ticket);
}

BOOL SetWindowTextBounded(HWND window, const char* text, HWND notify)
{
    WindowChange change = {};
    change.target = window;
    change.notify = notify;
    AddSetTextStep(&change, text);
    return RunWindowChange(&change, NULL);
}

BOOL ActivateWindowBounded(HWND window, HWND notify)
{
    WindowChange change = {};
    change.target = window;
    change.notify = notify;
    AddActivateStep(&change);
    return RunWindowChange(&change, NULL);
}

BOOL IsWindowChangeWaiting(LONG ticket)
{
    BOOL waiting = FALSE;
    EnterCriticalSection(QueueLock());
    for (WindowQueue* queue = queues; queue != NULL && !waiting; queue = queue->next) {
        for (QueuedChange* item = queue->first; item != NULL && !waiting; item = item->next)
            waiting = ticket != 0 && item->ticket == ticket;
    }
    LeaveCriticalSection(QueueLock());
    return waiting;
}

void OverlayWaitingChanges(HWND window, BYTE* enabled, BYTE* visible, BYTE* topmost)
{
    EnterCriticalSection(QueueLock());
    WindowQueue* queue = *FindQueue(window);
    for (QueuedChange* item = queue != NULL ? queue->first : NULL; item != NULL; item = item->next) {
        for (int i = 0; i < item->change.stepCount; ++i) {
            const WindowStep& step = item->change.steps[i];
            switch (step.kind) {
            case STEP_ENABLE: *enabled = step.value != 0; break;
            case STEP_SHOW: *visible = step.value != SW_HIDE; break;
            case STEP_TOPMOST: *topmost = step.value != 0; break;
            default: break;
            }
        }
    }
    LeaveCriticalSection(QueueLock());
}

LONG PendingWindowChanges()
{
    return pendingChanges;
}

LONG WindowChangeThreads()
{
    return queueThreads;
}
