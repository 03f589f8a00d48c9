// Hiding the main dialog to an icon in the taskbar's notification area.
#ifndef VANTORA_TRAY_ICON_H
#define VANTORA_TRAY_ICON_H

#include <windows.h>

BOOL EnterTray(HWND dialog);
BOOL LeaveTray(HWND dialog);
int OnTrayNotify(HWND dialog, WPARAM wParam, LPARAM lParam);

#endif
