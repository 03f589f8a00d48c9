// Hiding the main dialog to an icon in the taskbar's notification area:
// a double click on the icon brings it back, a single click opens the Undo
// menu, and the icon is added again when the taskbar is created anew.
#ifndef VANTORA_TRAY_ICON_H
#define VANTORA_TRAY_ICON_H

#include <windows.h>
#include <shellapi.h>

const UINT TRAY_ICON_ID = 1;
const UINT TRAY_CALLBACK_MESSAGE = WM_APP;
const UINT_PTR TRAY_CLICK_TIMER = 1;
const UINT_PTR TRAY_WATCH_TIMER = 2;
const UINT TRAY_WATCH_PERIOD_MS = 1000;
const UINT TRAY_TIP_SIZE = 64;  // the tip field of the record's first layout
// The record's first layout (88 bytes for 32-bit Windows), which every
// shell understands.
const DWORD TRAY_ICON_DATA_SIZE = NOTIFYICONDATAA_V1_SIZE;
// Checked when building, since some machines cannot run the 32-bit tests.
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V1_SIZE == 88, "NOTIFYICONDATAA's first layout is 88 bytes");
extern const char TRAY_TIP_TEXT[];

BOOL EnterTray(HWND dialog);
BOOL LeaveTray(HWND dialog);
int OnTrayNotify(HWND dialog, WPARAM wParam, LPARAM lParam);
void CALLBACK TrayWatchTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
void CALLBACK TrayClickTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);

BOOL AddTrayIcon(NOTIFYICONDATAA* data, HWND dialog, UINT id, UINT callbackMessage, HICON icon, const char* tip);
BOOL FillTrayIconData(NOTIFYICONDATAA* data, HWND dialog, UINT id, UINT callbackMessage, HICON icon,
                      const char* tip);
HWND FindNotificationArea();
BOOL ReAddTrayIcon(NOTIFYICONDATAA* data);
BOOL OnTrayMenu(HWND dialog);

// Every request to the shell goes through this; tests put a recorder in
// front of the real Shell_NotifyIconA. Returns the one it replaces.
typedef BOOL(WINAPI* TrayNotifier)(DWORD message, PNOTIFYICONDATAA data);
TrayNotifier SetTrayNotifier(TrayNotifier notifier);

#endif
