#include "tray/tray_icon.h"

// The notification-area icon is not built yet: minimising leaves the dialog
// minimised on the taskbar as any window, and closing has no icon to remove.

BOOL EnterTray(HWND dialog)
{
    return TRUE;
}

BOOL LeaveTray(HWND dialog)
{
    return TRUE;
}

int OnTrayNotify(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    return 0;
}
