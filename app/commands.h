// What the user can ask of the main dialog: commands, list notifications
// and the menus' check marks and greyed items.
#ifndef VANTORA_COMMANDS_H
#define VANTORA_COMMANDS_H

#include <windows.h>
#include <commctrl.h>

BOOL OnMainCommand(HWND dialog, WPARAM wParam);
BOOL OnMainNotify(HWND dialog, NMHDR* header);
BOOL OnMainInitMenuPopup(HWND dialog, HMENU menu);
// The row's context menu from the keyboard, at the selected row.
BOOL OnMainContextMenu(HWND dialog, HWND source, LPARAM position);

BOOL OnQuitCommand(HWND dialog);
BOOL ToggleViewFilter(HWND dialog, UINT commandId);
BOOL BeginRenameSelected(HWND dialog);
BOOL RefreshMainList(HWND dialog);

#endif
