// Small helpers over menu items and popup menus.
#ifndef VANTORA_MENUS_H
#define VANTORA_MENUS_H

#include <windows.h>

BOOL CheckMenuItemIf(HMENU menu, UINT commandId, UINT flags, BOOL checked);
BOOL EnableMenuItemIf(HMENU menu, UINT commandId, UINT flags, BOOL enabled);

BOOL ShowPopupMenu(HWND owner, HMENU menu, POINT point, UINT flags, const RECT* exclude);
BOOL ShowPopupMenuAtCursor(HWND owner, HMENU menu, UINT flags, const RECT* exclude);
BOOL ShowResourcePopupMenu(HINSTANCE instance, const char* menuName, int popupIndex, HWND owner, POINT point,
                           UINT flags, const RECT* exclude);
BOOL ShowResourcePopupMenuAtCursor(HINSTANCE instance, const char* menuName, int popupIndex, HWND owner,
                                   UINT flags, const RECT* exclude);

#endif
