// Enable/disable, show/hide, topmost, activate and close the selected window.
#ifndef VANTORA_WINDOW_COMMANDS_H
#define VANTORA_WINDOW_COMMANDS_H

#include <windows.h>

struct UndoHistory;

// How long a close request is given before the list is rebuilt.
const DWORD CLOSE_SETTLE_MS = 200;

int OnWindowCommand(HWND mainDialog, WPARAM wParam);
BOOL ApplyEnabled(HWND mainDialog, UndoHistory* history, HWND target, BYTE enabled);
BOOL ApplyVisible(HWND mainDialog, UndoHistory* history, HWND target, BYTE visible);
BOOL ApplyTopmost(HWND mainDialog, UndoHistory* history, HWND target, BYTE topmost);

#endif
