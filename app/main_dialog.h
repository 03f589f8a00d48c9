// The main dialog: start-up, its procedure, layout and the message loop.
#ifndef VANTORA_MAIN_DIALOG_H
#define VANTORA_MAIN_DIALOG_H

#include <windows.h>

struct AppState;

extern const char ALWAYS_ON_TOP_CAPTION[];

// The whole run: library search protected, COM initialised around it all.
int RunMainDialog(HINSTANCE instance);
int RunMainDialogWithCom(HINSTANCE instance);
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

BOOL OnMainInitDialog(HWND dialog, AppState* appState);
BOOL OnMainDestroy(HWND dialog);
BOOL OnMainSize(HWND dialog, UINT sizeType, int clientWidth, int clientHeight);
BOOL OnMainGetMinMaxInfo(HWND dialog, MINMAXINFO* info);
// Moved to a monitor of another DPI: the window takes the rectangle Windows
// suggests, and its controls, columns, icons and smallest size scale.
BOOL OnMainDpiChanged(HWND dialog, int dpi, const RECT* suggested);
BOOL ToggleAlwaysOnTop(HWND dialog, WPARAM wParam);
// The end of the Windows session: never delayed, and the settings saved.
BOOL OnMainQueryEndSession(HWND dialog);
BOOL OnMainEndSession(HWND dialog, BOOL ending);

BOOL UpdateWindowCount(HWND dialog);
int FindMenuItemPos(HMENU menu, UINT commandId);

// The thread's message loop: accelerators first, then the dialog manager.
// Returns the WM_QUIT exit code.
int RunMainMessageLoop(HWND dialog, HACCEL accelerators);
void DispatchMainMessage(HWND dialog, HACCEL accelerators, MSG* message);

#endif
