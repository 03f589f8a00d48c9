// Every change Vantora makes to another program's window goes through here.
// EnableWindow, ShowWindow, SetWindowPos, SetWindowTextA and activation all
// wait for the target's thread to answer; a program that has stopped reading
// its messages would freeze Vantora with it. So each change runs on a thread
// of its own, and Vantora waits for it only CHANGE_WAIT_MS: a window that
// answers has changed by then, exactly as with a direct call; a hung one
// changes when its thread wakes up, and the thread then ends by itself.
#ifndef VANTORA_BOUNDED_CHANGES_H
#define VANTORA_BOUNDED_CHANGES_H

#include <windows.h>

const DWORD CHANGE_WAIT_MS = 200;

enum WindowStepKind { STEP_ENABLE, STEP_SHOW, STEP_TOPMOST, STEP_SET_POS, STEP_SET_TEXT, STEP_ACTIVATE };

struct WindowStep {
    WindowStepKind kind;
    int value;          // STEP_ENABLE, STEP_TOPMOST: on or off; STEP_SHOW: the SW_ command
    HWND insertAfter;   // STEP_SET_POS: as SetWindowPos takes them
    int x, y, cx, cy;
    UINT flags;
};

// One or more steps for one window, made in order on one thread, so that a
// hung window receives them in the order they were asked for.
struct WindowChange {
    HWND target;
    int stepCount;
    WindowStep steps[4];
    const char* text;   // STEP_SET_TEXT; copied before the change starts
};

void AddEnableStep(WindowChange* change, BOOL enable);
void AddShowStep(WindowChange* change, int showCommand);
// As SetTopmostState makes it: the z-order only.
void AddTopmostStep(WindowChange* change, BOOL topmost);
void AddSetPosStep(WindowChange* change, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
void AddSetTextStep(WindowChange* change, const char* text);
// Restores a minimised window without activating it, then brings it to the front.
void AddActivateStep(WindowChange* change);

// Makes the change; TRUE when it was complete within CHANGE_WAIT_MS.
// Messages sent to this thread meanwhile are answered, so a change to one
// of Vantora's own windows completes as well.
BOOL RunWindowChange(const WindowChange* change);

// One-step shorthands.
BOOL EnableWindowBounded(HWND window, BOOL enable);
BOOL ShowWindowBounded(HWND window, int showCommand);
BOOL SetTopmostBounded(HWND window, BOOL topmost);
BOOL SetWindowTextBounded(HWND window, const char* text);
BOOL ActivateWindowBounded(HWND window);

// How many changes are still waiting for their window.
LONG PendingWindowChanges();

#endif
