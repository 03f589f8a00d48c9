#include "app/main_dialog.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <stdio.h>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/geometry.h"
#include "app/settings.h"
#include "app/shortcut_captions.h"
#include "app/system_libraries.h"
#include "catalogue/window_list.h"
#include "resources/resource_ids.h"
#include "tray/tray_icon.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0  // Windows 8.1 and later
#endif

const char ALWAYS_ON_TOP_CAPTION[] = "常に最前面に表示(&T)";

// The dialog's size at creation (the smallest the user may drag it to), and
// the client size the last layout was made for; both follow the DPI, which
// is the one the sizes were last made for.
static SIZE minTrackSize;
static SIZE lastClientSize;
static int mainDpi;

typedef BOOL(WINAPI* SetDialogDpiChangeBehaviorProc)(HWND dialog, int mask, int values);
const int DDC_DISABLE_RESIZE_AND_RELAYOUT = 0x0002 | 0x0004;

int RunMainDialog(HINSTANCE instance)
{
    ProtectLibrarySearch();
    // The shell calls (a URL handler, shell extensions) may rely on COM.
    HRESULT com = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    int exitCode = RunMainDialogWithCom(instance);
    if (SUCCEEDED(com))
        CoUninitialize();
    return exitCode;
}

int RunMainDialogWithCom(HINSTANCE instance)
{
    static AppState appState;
    LoadSettings(&appState);
    const CommonControls* controls = LoadCommonControls();
    if (controls == NULL)
        return 1;  // no list view: as when the dialog cannot be created
    controls->initCommonControls();
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_MAIN_DIALOG), NULL, MainDialogProc,
                                     (LPARAM)&appState);
    // No window, no program: say so to whoever started us.
    if (dialog == NULL)
        return 1;
    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    if (accelerators != NULL)
        AddShortcutCaptions(GetMenu(dialog), accelerators);
    int exitCode = RunMainMessageLoop(dialog, accelerators);
    SaveSettings(&appState);
    return exitCode;
}

int RunMainMessageLoop(HWND dialog, HACCEL accelerators)
{
    MSG message = {};
    int got;
    while ((got = GetMessageA(&message, NULL, 0, 0)) > 0)
        DispatchMainMessage(dialog, accelerators, &message);
    // -1: the loop broke down rather than ending with WM_QUIT.
    return got < 0 ? 1 : (int)message.wParam;
}

void DispatchMainMessage(HWND dialog, HACCEL accelerators, MSG* message)
{
    // Accelerators first, whichever window has the focus: Esc and Enter then
    // never reach the dialog manager, which would end the program with them.
    if (accelerators != NULL && TranslateAcceleratorA(dialog, accelerators, message))
        return;
    if (IsDialogMessageA(dialog, message))
        return;
    TranslateMessage(message);
    DispatchMessageA(message);
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnMainInitDialog(dialog, (AppState*)lParam);
    case WM_DESTROY: return OnMainDestroy(dialog);
    case WM_SIZE: return OnMainSize(dialog, (UINT)wParam, LOWORD(lParam), HIWORD(lParam));
    case WM_GETMINMAXINFO: return OnMainGetMinMaxInfo(dialog, (MINMAXINFO*)lParam);
    case WM_SYSCOMMAND: return ToggleAlwaysOnTop(dialog, wParam);
    case WM_QUERYENDSESSION: return OnMainQueryEndSession(dialog);
    case WM_ENDSESSION: return OnMainEndSession(dialog, (BOOL)wParam);
    case WM_COMMAND: return OnMainCommand(dialog, wParam);
    case WM_NOTIFY: return OnMainNotify(dialog, (NMHDR*)lParam);
    case WM_INITMENUPOPUP: return OnMainInitMenuPopup(dialog, (HMENU)wParam);
    case WM_CONTEXTMENU: return OnMainContextMenu(dialog, (HWND)wParam, lParam);
    case WM_APP: return OnTrayNotify(dialog, wParam, lParam);
    case WM_DPICHANGED: return OnMainDpiChanged(dialog, LOWORD(wParam), (const RECT*)lParam);
    default: return FALSE;
    }
}

static void SetProgramIcons(HWND dialog)
{
    // The path as the system knows it: the ANSI one may name no file.
    wchar_t path[MAX_PATH + 1];
    HICON large = NULL;
    HICON small = NULL;
    if (GetModulePathWithExtW(path, MAX_PATH + 1, NULL)) {
        SHFILEINFOW info = {};
        if (SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_LARGEICON))
            large = info.hIcon;
        info = SHFILEINFOW();
        if (SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON))
            small = info.hIcon;
    }
    SetWindowIcon(dialog, ICON_BIG, large);
    SetWindowIcon(dialog, ICON_SMALL, small);
}

static void AddAlwaysOnTopItem(HWND dialog)
{
    HMENU systemMenu = GetSystemMenu(dialog, FALSE);
    int position = FindMenuItemPos(systemMenu, SC_MAXIMIZE);
    if (position < 0)
        return;
    InsertMenuA(systemMenu, position + 1, MF_BYPOSITION | MF_STRING, CMD_ALWAYS_ON_TOP,
                ALWAYS_ON_TOP_CAPTION);
}

BOOL OnMainInitDialog(HWND dialog, AppState* appState)
{
    SetPropA(dialog, PROP_DIALOGPARAM, appState);
    appState->mainWindow = dialog;
    SetProgramIcons(dialog);
    PlaceNearCursor(dialog);
    SetTopmostState(dialog, appState->alwaysOnTop);

    RECT client = {};
    GetClientRect(dialog, &client);
    RectSize(&client, &lastClientSize);
    minTrackSize.cx = GetWindowWidth(dialog);
    minTrackSize.cy = GetWindowHeight(dialog);
    mainDpi = GetWindowDpi(dialog);
    // On a move to a monitor of another DPI the window and its controls are
    // scaled here (OnMainDpiChanged), so that the layout by differences is
    // not added on top; the dialog manager still gives the controls their
    // new font. Windows 10 1703 and later.
    SetDialogDpiChangeBehaviorProc setBehavior = (SetDialogDpiChangeBehaviorProc)GetProcAddress(
        GetModuleHandleA("user32.dll"), "SetDialogDpiChangeBehavior");
    if (setBehavior != NULL)
        setBehavior(dialog, DDC_DISABLE_RESIZE_AND_RELAYOUT, DDC_DISABLE_RESIZE_AND_RELAYOUT);

    HWND listView = GetDlgItem(dialog, IDC_WINDOW_LIST);
    InitWindowListColumns(listView);
    RefreshWindowList(listView, appState);
    UpdateWindowCount(dialog);
    AddAlwaysOnTopItem(dialog);
    return TRUE;
}

BOOL OnMainDestroy(HWND dialog)
{
    RemovePropA(dialog, PROP_DIALOGPARAM);
    PostQuitMessage(0);
    return TRUE;
}

BOOL OnMainSize(HWND dialog, UINT sizeType, int clientWidth, int clientHeight)
{
    if (sizeType == SIZE_MINIMIZED) {
        EnterTray(dialog);
        return TRUE;
    }
    int dx = clientWidth - lastClientSize.cx;
    int dy = clientHeight - lastClientSize.cy;
    HDWP batch = BeginDeferWindowPos(2);
    if (batch == NULL)
        return TRUE;
    // The layout works by differences, so the template's margins hold at any size.
    DeferMoveBy(&batch, GetDlgItem(dialog, IDC_STATUS_LINE), 0, dy);
    DeferResizeChildBy(&batch, dialog, IDC_WINDOW_LIST, dx, dy);
    if (batch != NULL)
        EndDeferWindowPos(batch);
    lastClientSize.cx = clientWidth;
    lastClientSize.cy = clientHeight;
    return TRUE;
}

// A child's rectangle in the dialog's client coordinates.
static RECT ChildRect(HWND child)
{
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(NULL, GetParent(child), (POINT*)&rect, 2);
    return rect;
}

BOOL OnMainDpiChanged(HWND dialog, int dpi, const RECT* suggested)
{
    int old = mainDpi;
    if (suggested == NULL || dpi <= 0 || old <= 0)
        return FALSE;
    mainDpi = dpi;
    HWND controls[] = {GetDlgItem(dialog, IDC_WINDOW_LIST), GetDlgItem(dialog, IDC_STATUS_LINE)};
    RECT before[] = {ChildRect(controls[0]), ChildRect(controls[1])};
    ScaleWindowListForDpi(controls[0], old, dpi);
    // Before the move: the smallest size at the old DPI may be larger than
    // the window Windows suggests at the new one.
    minTrackSize.cx = MulDiv(minTrackSize.cx, dpi, old);
    minTrackSize.cy = MulDiv(minTrackSize.cy, dpi, old);
    // The layout by differences (OnMainSize) takes the new size as its own;
    // the controls then scale with the window, margins and all, from where
    // they stood, instead of growing by the difference.
    SetWindowPos(dialog, NULL, suggested->left, suggested->top, RectWidth(suggested), RectHeight(suggested),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    for (int i = 0; i < 2; ++i) {
        const RECT& r = before[i];
        MoveWindow(controls[i], MulDiv(r.left, dpi, old), MulDiv(r.top, dpi, old), MulDiv(RectWidth(&r), dpi, old),
                   MulDiv(RectHeight(&r), dpi, old), TRUE);
    }
    SendMessageA(dialog, WM_COMMAND, CMD_REFRESH, 0);  // fills the icon list of the new size
    return FALSE;  // the dialog manager's part: the controls' fonts at the new DPI
}

BOOL OnMainGetMinMaxInfo(HWND dialog, MINMAXINFO* info)
{
    if (info != NULL)
        info->ptMinTrackSize = {minTrackSize.cx, minTrackSize.cy};
    return TRUE;
}

BOOL ToggleAlwaysOnTop(HWND dialog, WPARAM wParam)
{
    if (LOWORD(wParam) != CMD_ALWAYS_ON_TOP)
        return FALSE;
    SetTopmostState(dialog, !IsTopmost(dialog));
    AppState* appState = GetAppState(dialog);
    if (appState != NULL)
        ChangeSetting(appState, &AppState::alwaysOnTop, IsTopmost(dialog) ? 1 : 0);
    return TRUE;
}

BOOL OnMainQueryEndSession(HWND dialog)
{
    // A dialog's answer goes through DWLP_MSGRESULT: the plain return value
    // would answer 0, which asks Windows to stop the logoff.
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

BOOL OnMainEndSession(HWND dialog, BOOL ending)
{
    // The session ends without the message loop ending: the settings are
    // saved here as at a quit, since the process may be gone at any moment.
    AppState* appState = GetAppState(dialog);
    if (ending && appState != NULL)
        SaveSettings(appState);
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
    return TRUE;
}

BOOL UpdateWindowCount(HWND dialog)
{
    char text[256];
    int count = (int)SendDlgItemMessageA(dialog, IDC_WINDOW_LIST, LVM_GETITEMCOUNT, 0, 0);
    snprintf(text, sizeof(text), "%d 個のｳｨﾝﾄﾞｳ", count);
    return SetDlgItemTextA(dialog, IDC_STATUS_LINE, text);
}

int FindMenuItemPos(HMENU menu, UINT commandId)
{
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        if (GetMenuItemID(menu, position) == commandId)
            return position;
    }
    return -1;
}
