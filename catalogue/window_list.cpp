#include "catalogue/window_list.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include <vector>

#include "app/app_state.h"
#include "catalogue/list_sort.h"
#include "catalogue/window_snapshot.h"

struct ListColumn {
    const char* caption;
    int width;
};

static const ListColumn LIST_COLUMNS[WINDOW_LIST_COLUMN_COUNT] = {
    {"タイトル", 100}, {"クラス名", 100}, {"スタイル", 65}, {"拡張スタイル", 65},
    {"表示状態", 50},  {"可視", 25},      {"使用可能", 25}, {"最前面", 25},
};

// The icons copied during the current refresh. Windows of one class mostly
// share one icon, and copying an icon is the dearest step of adding a row,
// so each distinct icon is copied once per refresh.
struct IconCopy {
    HICON icon;
    int image;
};
static std::vector<IconCopy> iconCopies;
// The threads that did not answer an icon query during the current refresh.
static SilentThreads silentThreads;

static int FindOrAddListIcon(HWND listView, HICON icon)
{
    for (const IconCopy& copy : iconCopies) {
        if (copy.icon == icon)
            return copy.image;
    }
    int image = AddListIcon(listView, icon);
    if (image >= 0)
        iconCopies.push_back({icon, image});
    return image;
}

static HIMAGELIST GetSmallImageList(HWND listView)
{
    return (HIMAGELIST)SendMessageA(listView, LVM_GETIMAGELIST, LVSIL_SMALL, 0);
}

BOOL InitWindowListColumns(HWND listView)
{
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR4, 0, 0);
    SendMessageA(listView, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)images);
    AddListViewExStyle(listView, LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT);
    for (int column = 0; column < WINDOW_LIST_COLUMN_COUNT; ++column)
        InsertListColumn(listView, column, LIST_COLUMNS[column].caption, LIST_COLUMNS[column].width);
    return TRUE;
}

BOOL RefreshWindowList(HWND listView, AppState* appState)
{
    HWND remembered = GetSelectedListWindow(listView);
    SendMessageA(listView, WM_SETREDRAW, FALSE, 0);
    SendMessageA(listView, LVM_DELETEALLITEMS, 0, 0);
    // Every row is gone, so are the users of every image: start the image
    // list afresh instead of letting it grow with each refresh.
    HIMAGELIST images = GetSmallImageList(listView);
    if (images != NULL)
        ImageList_RemoveAll(images);
    iconCopies.clear();
    silentThreads.ids.clear();

    // Rows are appended, not inserted in title order one by one (a scan of
    // the list each), and then put into that same order in one sort.
    LONG style = GetWindowLongA(listView, GWL_STYLE);
    SetWindowLongA(listView, GWL_STYLE, style & ~LVS_SORTASCENDING);
    SetPropA(listView, PROP_LISTVIEWINFO, appState);
    EnumWindows(WindowListEnumProc, (LPARAM)listView);
    RemovePropA(listView, PROP_LISTVIEWINFO);
    SetWindowLongA(listView, GWL_STYLE, style);
    if (style & LVS_SORTASCENDING)
        OrderAsSortedInsertion(listView);

    SelectListRow(listView, 0);
    if (remembered != NULL)
        SelectListRowOfWindow(listView, remembered);
    SortWindowList(listView, appState);
    SendMessageA(listView, WM_SETREDRAW, TRUE, 0);
    return TRUE;
}

int GetSelectedListIndex(HWND listView)
{
    return (int)SendMessageA(listView, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
}

HWND GetSelectedListWindow(HWND listView)
{
    int index = GetSelectedListIndex(listView);
    if (!IsValidListIndex(listView, index))
        return NULL;
    HWND hwnd = GetListRowWindow(listView, index);
    return IsWindow(hwnd) ? hwnd : NULL;
}

BOOL IsValidListIndex(HWND listView, int index)
{
    return index >= 0 && index < (int)SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0);
}

HWND GetListRowWindow(HWND listView, int index)
{
    LVITEMA item;
    memset(&item, 0, sizeof(item));
    item.mask = LVIF_PARAM;
    item.iItem = index;
    SendMessageA(listView, LVM_GETITEMA, 0, (LPARAM)&item);
    return (HWND)item.lParam;
}

BOOL SelectListRow(HWND listView, int index)
{
    SendMessageA(listView, LVM_ENSUREVISIBLE, index, 0);
    LVITEMA item;
    memset(&item, 0, sizeof(item));
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(listView, LVM_SETITEMSTATE, index, (LPARAM)&item);
    return TRUE;
}

int SelectListRowOfWindow(HWND listView, HWND hwnd)
{
    int index = FindListRowOfWindow(listView, hwnd);
    if (IsValidListIndex(listView, index))
        SelectListRow(listView, index);
    return index;
}

BOOL CALLBACK WindowListEnumProc(HWND hwnd, LPARAM listView)
{
    const AppState* appState = (const AppState*)GetPropA((HWND)listView, PROP_LISTVIEWINFO);
    if (appState != NULL && IsWindowListed(hwnd, appState))
        AddWindowListRow((HWND)listView, hwnd);
    return TRUE;
}

BOOL IsWindowListed(HWND hwnd, const AppState* appState)
{
    if (hwnd == appState->mainWindow)
        return FALSE;
    if (!appState->showInvisible && !IsWindowVisible(hwnd))
        return FALSE;
    if (!appState->showMinimized && IsIconic(hwnd))
        return FALSE;
    if (!appState->showDisabled && !IsWindowEnabled(hwnd))
        return FALSE;
    return TRUE;
}

static const char* FlagText(BYTE flag)
{
    return flag ? "○" : "×";
}

static const char* ShowStateText(uint32_t showCmd)
{
    switch (showCmd) {
    case SW_SHOWNORMAL: return "標準";
    case SW_SHOWMAXIMIZED: return "最大化";
    case SW_SHOWMINIMIZED: return "最小化";
    default: return "";  // placement could not be read
    }
}

const char* FormatListCell(const WindowSnapshot* snapshot, int column, char* buffer, size_t size)
{
    switch (column) {
    case 0: return snapshot->title;
    case 1: return snapshot->className;
    case 2: snprintf(buffer, size, "%08x", (unsigned)snapshot->style); return buffer;
    case 3: snprintf(buffer, size, "%08x", (unsigned)snapshot->exStyle); return buffer;
    case 4: return ShowStateText(snapshot->showCmd);
    case 5: return FlagText(snapshot->visible);
    case 6: return FlagText(snapshot->enabled);
    case 7: return FlagText(snapshot->topmost);
    default: return "";
    }
}

int AddWindowListRow(HWND listView, HWND hwnd)
{
    WindowSnapshot snapshot;
    CaptureWindowSnapshotAmong(hwnd, &snapshot, &silentThreads);
    int image = snapshot.icon != NULL ? FindOrAddListIcon(listView, snapshot.icon) : -1;

    LVITEMA item;
    memset(&item, 0, sizeof(item));
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = (int)SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0);
    item.pszText = snapshot.title;
    item.iImage = image;
    item.lParam = (LPARAM)hwnd;
    int index = (int)SendMessageA(listView, LVM_INSERTITEMA, 0, (LPARAM)&item);

    char buffer[16];
    for (int column = 1; column < WINDOW_LIST_COLUMN_COUNT; ++column) {
        LVITEMA cell;
        memset(&cell, 0, sizeof(cell));
        cell.iSubItem = column;
        cell.pszText = (char*)FormatListCell(&snapshot, column, buffer, sizeof(buffer));
        SendMessageA(listView, LVM_SETITEMTEXTA, index, (LPARAM)&cell);
    }
    return index;
}

int AddListIcon(HWND listView, HICON icon)
{
    HIMAGELIST images = GetSmallImageList(listView);
    if (images == NULL)
        return -1;
    return ImageList_ReplaceIcon(images, -1, icon);
}

int InsertListColumn(HWND listView, int index, const char* caption, int width)
{
    LVCOLUMNA column;
    memset(&column, 0, sizeof(column));
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = (char*)caption;
    column.iSubItem = index;
    return (int)SendMessageA(listView, LVM_INSERTCOLUMNA, index, (LPARAM)&column);
}

BOOL AddListViewExStyle(HWND listView, DWORD bits)
{
    DWORD old = (DWORD)SendMessageA(listView, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    SendMessageA(listView, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, old | bits);
    return TRUE;
}
