#include "tray/tray_icon.h"

#include <string.h>

#include "app/app_state.h"
#include "app/geometry.h"
#include "app/menus.h"
#include "app/sjis_text.h"
#include "operations/undo_history.h"
#include "resources/resource_ids.h"

const char TRAY_TIP_TEXT[] = "Vantora";

// The record the icon was added with, kept for deleting and re-adding it.
static NOTIFYICONDATAA trayIconData;
// The notification area while the icon is shown; null while none is known.
static HWND notificationAreaWindow;
// A double click has arrived and its button is not yet released.
static BYTE trayDoubleClicked;
static TrayNotifier notifyShell = Shell_NotifyIconA;

TrayNotifier SetTrayNotifier(TrayNotifier notifier)
{
    TrayNotifier previous = notifyShell;
    notifyShell = notifier;
    return previous;
}

BOOL FillTrayIconData(NOTIFYICONDATAA* data, HWND dialog, UINT id, UINT callbackMessage, HICON icon,
                      const char* tip)
{
    memset(data, 0, sizeof(*data));
    data->cbSize = TRAY_ICON_DATA_SIZE;
    data->hWnd = dialog;
    data->uID = id;
    data->uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data->uCallbackMessage = callbackMessage;
    data->hIcon = icon;
    SjisCopyTruncated(data->szTip, tip, TRAY_TIP_SIZE);
    return TRUE;
}

BOOL AddTrayIcon(NOTIFYICONDATAA* data, HWND dialog, UINT id, UINT callbackMessage, HICON icon, const char* tip)
{
    FillTrayIconData(data, dialog, id, callbackMessage, icon, tip);
    return notifyShell(NIM_ADD, data);
}

// Takes the icon out of the notification area and gives its handle back,
// so that a thousand trips to the tray leak nothing.
static void DeleteTrayIcon()
{
    notifyShell(NIM_DELETE, &trayIconData);
    if (trayIconData.hIcon != NULL)
        DestroyIcon(trayIconData.hIcon);
    trayIconData.hIcon = NULL;
}

BOOL EnterTray(HWND dialog)
{
    if (trayIconData.hIcon != NULL)
        DeleteTrayIcon();  // never two icons, nor a lost handle
    int size = ScaleForDpi(16, GetScreenDpi());  // the taskbar's, whichever monitor we are on
    HICON icon = (HICON)LoadImageA(GetModuleHandleA(NULL), "IDI_ICON", IMAGE_ICON, size, size, LR_DEFAULTCOLOR);
    AddTrayIcon(&trayIconData, dialog, TRAY_ICON_ID, TRAY_CALLBACK_MESSAGE, icon, TRAY_TIP_TEXT);
    ShowOrHide(dialog, FALSE);
    notificationAreaWindow = FindNotificationArea();
    SetTimer(dialog, TRAY_WATCH_TIMER, TRAY_WATCH_PERIOD_MS, TrayWatchTimerProc);
    return TRUE;
}

BOOL LeaveTray(HWND dialog)
{
    KillTimer(dialog, TRAY_WATCH_TIMER);
    DeleteTrayIcon();
    SendMessageA(dialog, WM_COMMAND, CMD_REFRESH, 0);
    ShowOrHide(dialog, TRUE);
    ShowWindow(dialog, SW_SHOWNORMAL);
    return TRUE;
}

int OnTrayNotify(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    switch ((UINT)lParam) {
    case WM_LBUTTONDOWN:
        trayDoubleClicked = 0;
        SetTimer(dialog, TRAY_CLICK_TIMER, GetDoubleClickTime(), TrayClickTimerProc);
        return 1;
    case WM_LBUTTONDBLCLK:
        KillTimer(dialog, TRAY_CLICK_TIMER);
        trayDoubleClicked = 1;
        return 1;
    case WM_LBUTTONUP:
        if (trayDoubleClicked) {
            trayDoubleClicked = 0;
            LeaveTray(dialog);
        }
        return 1;
    case WM_CONTEXTMENU: OnTrayMenu(dialog); return 1;
    default: return 0;
    }
}

void CALLBACK TrayClickTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time)
{
    // No double click followed the press in time: it was a single click.
    KillTimer(window, timerId);
    SendMessageA(window, TRAY_CALLBACK_MESSAGE, TRAY_ICON_ID, WM_CONTEXTMENU);
}

void CALLBACK TrayWatchTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time)
{
    if (notificationAreaWindow != NULL && !IsWindow(notificationAreaWindow))
        notificationAreaWindow = NULL;
    if (notificationAreaWindow != NULL)
        return;
    notificationAreaWindow = FindNotificationArea();
    // A new taskbar knows nothing of our icon.
    if (notificationAreaWindow != NULL)
        ReAddTrayIcon(&trayIconData);
}

HWND FindNotificationArea()
{
    HWND taskbar = FindWindowA("Shell_TrayWnd", "");
    return FindWindowExA(taskbar, NULL, "TrayNotifyWnd", "");
}

BOOL ReAddTrayIcon(NOTIFYICONDATAA* data)
{
    notifyShell(NIM_DELETE, data);
    return notifyShell(NIM_ADD, data);
}

BOOL OnTrayMenu(HWND dialog)
{
    AppState* appState = GetAppState(dialog);
    if (appState != NULL)
        PruneUndoHistory(dialog, &appState->undoHistory);
    return ShowPopupMenuAtCursor(dialog, GetUndoMenu(dialog), TPM_RIGHTBUTTON, NULL);
}
