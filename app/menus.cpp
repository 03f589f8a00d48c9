#include "app/menus.h"

BOOL CheckMenuItemIf(HMENU menu, UINT commandId, UINT flags, BOOL checked)
{
    return CheckMenuItem(menu, commandId, flags | (checked ? MF_CHECKED : MF_UNCHECKED)) != (DWORD)-1;
}

BOOL EnableMenuItemIf(HMENU menu, UINT commandId, UINT flags, BOOL enabled)
{
    return EnableMenuItem(menu, commandId, flags | (enabled ? MF_ENABLED : MF_GRAYED)) != -1;
}

BOOL ShowPopupMenu(HWND owner, HMENU menu, POINT point, UINT flags, const RECT* exclude)
{
    SetForegroundWindow(owner);
    TPMPARAMS params = {};
    TPMPARAMS* paramsOrNone = NULL;
    if (exclude != NULL) {
        params.cbSize = sizeof(params);
        CopyRect(&params.rcExclude, exclude);
        paramsOrNone = &params;
    }
    BOOL result = TrackPopupMenuEx(menu, flags, point.x, point.y, owner, paramsOrNone);
    // A message of our own after the menu has ended lets the system finish
    // its switch to us; without it the next menu we show may close at once.
    // (The SetForegroundWindow above is what lets a click elsewhere close it.)
    PostMessageA(owner, WM_NULL, 0, 0);
    return result;
}

BOOL ShowPopupMenuAtCursor(HWND owner, HMENU menu, UINT flags, const RECT* exclude)
{
    POINT cursor = {};
    GetCursorPos(&cursor);
    return ShowPopupMenu(owner, menu, cursor, flags, exclude);
}

BOOL ShowResourcePopupMenu(HINSTANCE instance, const char* menuName, int popupIndex, HWND owner, POINT point,
                           UINT flags, const RECT* exclude)
{
    HMENU loaded = LoadMenuA(instance, menuName);
    if (loaded == NULL)
        return 0;
    BOOL result = 0;
    HMENU popup = GetSubMenu(loaded, popupIndex);
    if (popup != NULL)
        result = ShowPopupMenu(owner, popup, point, flags, exclude);
    DestroyMenu(loaded);
    return result;
}

BOOL ShowResourcePopupMenuAtCursor(HINSTANCE instance, const char* menuName, int popupIndex, HWND owner,
                                   UINT flags, const RECT* exclude)
{
    POINT cursor = {};
    GetCursorPos(&cursor);
    return ShowResourcePopupMenu(instance, menuName, popupIndex, owner, cursor, flags, exclude);
}
