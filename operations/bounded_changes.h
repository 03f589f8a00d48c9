// Every change Vantora makes to another program's window goes through here.
// EnableWindow, ShowWindow, SetWindowPos, SetWindowTextA and activation all
// wait for the target's thread to answer; a program that has stopped reading
// its messages would freeze Vantora with it. So the changes to each window
// are made, in the order they were asked for, by one thread of that window's
// own, and Vantora waits for a change only CHANGE_WAIT_MS: a window that
// answers has changed by then, exactly as with a direct call. A hung one gets
// its changes when its thread wakes up; a change asked for meanwhile queues
// behind the waiting ones at once, and the main dialog is told to rebuild its
// list (command 40049, posted) once the last of them has been made.
#ifndef VANTORA_BOUNDED_CHANGES_H
#define VANTORA_BOUNDED_CHANGES_H

#include <windows.h>

const DWORD CHANGE_WAIT_MS = 200;

enum WindowStepKind { STEP_ENABLE, STEP_SHOW, STEP_TOPMOST, STEP_SET_POS, STEP_SET_NORMAL_POS, STEP_SET_TEXT, STEP_ACTIVATE };

struct WindowStep {
    WindowStepKind kind;
    int value;          // STEP_ENABLE, STEP_TOPMOST: on or off; STEP_SHOW: the SW_ command
    HWND insertAfter;   // STEP_SET_POS, STEP_SET_NORMAL_POS: as SetWindowPos takes them
    int x, y, cx, cy;
    UINT flags;
};

// One or more steps for one window, made in order.
struct WindowChange {
    HWND target;
    HWND notify;        // told to refresh when the change is made after Vantora stopped waiting
    int stepCount;
    WindowStep steps[4];
    const char* text;   // STEP_SET_TEXT; copied before the change starts
};

void AddEnableStep(WindowChange* change, BOOL enable);
void AddShowStep(WindowChange* change, int showCommand);
// As SetTopmostState makes it: the z-order only.
void AddTopmostStep(WindowChange* change, BOOL topmost);
void AddSetPosStep(WindowChange* change, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
// As AddSetPosStep, with x and y in the window's placement coordinates,
// turned into screen ones (GetPlacementOffset, app/geometry.h) when the
// step is made: after the steps before it, so a window that a show step
// restored is judged in its normal state.
void AddSetNormalPosStep(WindowChange* change, int x, int y, int cx, int cy, UINT flags);
void AddSetTextStep(WindowChange* change, const char* text);
// Restores a minimised window without activating it, then brings it to the front.
void AddActivateStep(WindowChange* change);

// Makes the change; TRUE when it was made within CHANGE_WAIT_MS. A change
// queued behind changes still waiting for their window returns at once.
// Messages sent to this thread meanwhile are answered, so a change to one
// of Vantora's own windows completes as well. `ticket`, if given, receives
// the change's number for IsWindowChangeWaiting.
BOOL RunWindowChange(const WindowChange* change, LONG* ticket);

// One-step shorthands; `notify` and `ticket` as for the change.
BOOL EnableWindowBounded(HWND window, BOOL enable, HWND notify, LONG* ticket);
BOOL ShowWindowBounded(HWND window, int showCommand, HWND notify, LONG* ticket);
BOOL SetTopmostBounded(HWND window, BOOL topmost, HWND notify, LONG* ticket);
BOOL SetWindowTextBounded(HWND window, const char* text, HWND notify);
BOOL ActivateWindowBounded(HWND window, HWND notify);

// Whether the change with this ticket has still to be made (0: none).
BOOL IsWindowChangeWaiting(LONG ticket);
// Sets a window's enabled, visible and topmost flags (as read now, 0 or 1)
// to what they will be once the changes still waiting for it are made.
void OverlayWaitingChanges(HWND window, BYTE* enabled, BYTE* visible, BYTE* topmost);
// How many changes are still waiting for their window, and how many threads
// (one per window with waiting changes) are making them.
LONG PendingWindowChanges();
LONG WindowChangeThreads();

#endif
