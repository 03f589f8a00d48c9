#include "app/commands.h"

#include <string>

#include "about/about_box.h"
#include "app/app_state.h"
#include "app/geometry.h"
#include "app/main_dialog.h"
#include "app/menus.h"
#include "app/settings.h"
#include "catalogue/list_sort.h"
#include "catalogue/window_list.h"
#include "operations/bounded_changes.h"
#include "operations/properties_dialog.h"
#include "operations/undo_history.h"
#include "operations/window_commands.h"
#include "resources/resource_ids.h"
#include "tray/tray_icon.h"

static HWND GetWindowList(HWND dialog)
{
    return GetDlgItem(dialog, IDC_WINDOW_LIST);
}

// The in-place rename under way. A refresh while the editor is open would
// rebuild the rows under it, and the editor would then report whichever
// window had come to stand in its row (or, on Windows, be dismissed with
// the text typed so far). So a refresh asked for meanwhile (F5, or a late
// change to a hung window) is made once the edit has ended. Other things
// still move rows under the editor (a header click sorts them), so the
// edit keeps the window it began on and retitles that one.
struct InPlaceRename {
    bool begun;  // and not yet ended; the list's editor tells whether it is still open
    bool refreshHeld;
    HWND target;  // the window of the row the edit began on
    // What the editor showed as it opened (a long title cut to what it
    // holds). An edit that ends with it sets nothing, however the window's
    // title changed meanwhile: a glance must neither put an old title back
    // nor cut a long one, nor replace letters the code page cannot hold.
    std::string opening;
};
static InPlaceRename inPlaceRename;

static bool IsRenameOpen(HWND listView)
{
    return inPlaceRename.begun && SendMessageA(listView, LVM_GETEDITCONTROL, 0, 0) != 0;
}

BOOL OnMainCommand(HWND dialog, WPARAM wParam)
{
    WORD code = HIWORD(wParam);
    if (code != 0 && code != 1)
        return FALSE;
    UINT id = LOWORD(wParam);
    switch (id) {
    case CMD_QUIT_OK:
    case CMD_QUIT: return OnQuitCommand(dialog);
    case CMD_ABOUT: return OpenAboutBox(dialog);
    case CMD_VIEW_INVISIBLE:
    case CMD_VIEW_MINIMIZED:
    case CMD_VIEW_DISABLED: return ToggleViewFilter(dialog, id);
    case CMD_RENAME: return BeginRenameSelected(dialog);
    case CMD_ENABLE:
    case CMD_VISIBLE:
    case CMD_TOPMOST:
    case CMD_ACTIVATE:
    case CMD_CLOSE: return OnWindowCommand(dialog, wParam);
    case CMD_PROPERTIES: return OnPropertiesCommand(dialog);
    case CMD_REFRESH: return RefreshMainList(dialog);
    case CMD_UNDO_NONE:
    case CMD_SWALLOW_KEY: return TRUE;  // Esc and Enter end here, doing nothing
    default: return OnUndoCommand(dialog, wParam);
    }
}

BOOL OnQuitCommand(HWND dialog)
{
    LeaveTray(dialog);
    DestroyWindow(dialog);
    return TRUE;
}

static BYTE AppState::*ViewFlagOf(UINT commandId)
{
    switch (commandId) {
    case CMD_VIEW_INVISIBLE: return &AppState::showInvisible;
    case CMD_VIEW_MINIMIZED: return &AppState::showMinimized;
    case CMD_VIEW_DISABLED: return &AppState::showDisabled;
    default: return NULL;
    }
}

BOOL ToggleViewFilter(HWND dialog, UINT commandId)
{
    AppState* appState = GetAppState(dialog);
    BYTE AppState::*flag = ViewFlagOf(commandId);
    if (appState == NULL || flag == NULL)
        return TRUE;
    ChangeSetting(appState, flag, !(appState->*flag));
    SaveSettings(appState);
    return RefreshMainList(dialog);
}

BOOL BeginRenameSelected(HWND dialog)
{
    HWND listView = GetWindowList(dialog);
    HWND selected = GetSelectedListWindow(listView);
    // Taking the focus ends an edit still open (F2 pressed twice), and the
    // refresh that follows it may move rows: the row is looked up after.
    SetFocus(listView);
    int index = selected != NULL ? FindListRowOfWindow(listView, selected) : -1;
    SendMessageA(listView, LVM_EDITLABELA, index, 0);
    return TRUE;
}

BOOL RefreshMainList(HWND dialog)
{
    HWND listView = GetWindowList(dialog);
    if (IsRenameOpen(listView)) {
        inPlaceRename.refreshHeld = true;
        return TRUE;
    }
    AppState* appState = GetAppState(dialog);
    if (appState != NULL)
        RefreshWindowList(listView, appState);
    UpdateWindowCount(dialog);
    return TRUE;
}

static void OnEndLabelEdit(HWND dialog, const NMLVDISPINFOA* info)
{
    // Cleared before anything else: the retitling and the refresh below
    // run while the list still reports its editor as open.
    InPlaceRename edit = inPlaceRename;
    inPlaceRename = InPlaceRename();
    bool changed = info->item.pszText != NULL &&  // NULL: the edit was cancelled
                   !(edit.begun && edit.opening == info->item.pszText);
    if (changed) {
        HWND target = edit.begun ? edit.target : (HWND)info->item.lParam;
        if (target == NULL)
            target = GetListRowWindow(info->hdr.hwndFrom, info->item.iItem);
        SetWindowTextBounded(target, info->item.pszText, dialog);
    }
    if (changed || edit.refreshHeld)
        SendMessageA(dialog, WM_COMMAND, CMD_REFRESH, 0);
}

BOOL OnMainNotify(HWND dialog, NMHDR* header)
{
    if (header == NULL || header->idFrom != IDC_WINDOW_LIST)
        return TRUE;
    switch (header->code) {
    case LVN_COLUMNCLICK:
        SortWindowListByColumn(header->hwndFrom, ((NMLISTVIEW*)header)->iSubItem);
        break;
    case LVN_BEGINLABELEDITA: {
        const NMLVDISPINFOA* info = (const NMLVDISPINFOA*)header;
        HWND editor = (HWND)SendMessageA(header->hwndFrom, LVM_GETEDITCONTROL, 0, 0);
        std::string opening((size_t)GetWindowTextLengthA(editor) + 1, '\0');
        opening.resize((size_t)GetWindowTextA(editor, &opening[0], (int)opening.size()));
        inPlaceRename = {true, false, GetListRowWindow(header->hwndFrom, info->item.iItem), opening};
        break;
    }
    case LVN_ENDLABELEDITA:
        OnEndLabelEdit(dialog, (NMLVDISPINFOA*)header);
        break;
    case NM_RCLICK:
        ShowResourcePopupMenuAtCursor(GetModuleHandleA(NULL), "POPUP_MENU", 0, dialog, TPM_RIGHTBUTTON, NULL);
        break;
    case NM_DBLCLK:
        SendMessageA(dialog, WM_COMMAND, CMD_PROPERTIES, 0);
        break;
    default:
        break;
    }
    return TRUE;
}

BOOL OnMainContextMenu(HWND dialog, HWND source, LPARAM position)
{
    // Only the keyboard's form (Shift+F10, the menu key), at -1,-1: after a
    // right click the list view sends this too, and NM_RCLICK has already
    // opened the menu then.
    HWND listView = GetWindowList(dialog);
    if (source != listView || (short)LOWORD(position) != -1 || (short)HIWORD(position) != -1)
        return FALSE;
    POINT at = {0, 0};  // the list's corner when no row is selected
    int row = GetSelectedListIndex(listView);
    RECT label = {LVIR_LABEL, 0, 0, 0};
    if (row >= 0 && SendMessageA(listView, LVM_ENSUREVISIBLE, row, FALSE) &&
        SendMessageA(listView, LVM_GETITEMRECT, row, (LPARAM)&label))
        at = {label.left, label.bottom};
    ClientToScreen(listView, &at);
    ShowResourcePopupMenu(GetModuleHandleA(NULL), "POPUP_MENU", 0, dialog, at, TPM_RIGHTBUTTON, NULL);
    return TRUE;
}

BOOL OnMainInitMenuPopup(HWND dialog, HMENU menu)
{
    CheckMenuItemIf(GetSystemMenu(dialog, FALSE), CMD_ALWAYS_ON_TOP, 0, IsTopmost(dialog));
    if (menu == NULL)
        return TRUE;

    HWND target = GetSelectedListWindow(GetWindowList(dialog));
    BOOL exists = target != NULL && IsWindow(target);
    BYTE enabled = exists && IsWindowEnabled(target);
    BYTE visible = exists && IsWindowVisible(target);
    BYTE topmost = exists && IsTopmost(target);
    // What a toggle acts on: the state once the changes still waiting for
    // the window (a hung one) are made.
    if (exists)
        OverlayWaitingChanges(target, &enabled, &visible, &topmost);

    static const UINT NEED_TARGET[] = {CMD_RENAME, CMD_PROPERTIES, CMD_ENABLE, CMD_VISIBLE, CMD_TOPMOST, CMD_CLOSE};
    for (UINT id : NEED_TARGET)
        EnableMenuItemIf(menu, id, 0, exists);
    EnableMenuItemIf(menu, CMD_ACTIVATE, 0, exists && enabled && visible);

    CheckMenuItemIf(menu, CMD_ENABLE, 0, enabled);
    CheckMenuItemIf(menu, CMD_VISIBLE, 0, visible);
    CheckMenuItemIf(menu, CMD_TOPMOST, 0, topmost);
    AppState* appState = GetAppState(dialog);
    if (appState != NULL) {
        CheckMenuItemIf(menu, CMD_VIEW_INVISIBLE, 0, appState->showInvisible);
        CheckMenuItemIf(menu, CMD_VIEW_MINIMIZED, 0, appState->showMinimized);
        CheckMenuItemIf(menu, CMD_VIEW_DISABLED, 0, appState->showDisabled);
        PruneUndoHistory(dialog, &appState->undoHistory);
    }
    return TRUE;
}
