#include "catalogue/window_list.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "app/app_state.h"
#include "app/call_context.h"
#include "app/geometry.h"
#include "app/system_libraries.h"
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
// The rows of the current refresh, as the enumeration reads them.
static std::vector<WindowListRow> enumeratedRows;
static CallContext listInfo = {PROP_LISTVIEWINFO, NULL, NULL};

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

// A new, empty small-icon list of the size for `dpi`; the old one goes.
static void SetListIconsForDpi(HWND listView, int dpi)
{
    const CommonControls* controls = LoadCommonControls();
    int size = ScaleForDpi(16, dpi);
    HIMAGELIST images = controls != NULL ? controls->imageListCreate(size, size, ILC_COLOR4, 0, 0) : NULL;
    HIMAGELIST old = (HIMAGELIST)SendMessageA(listView, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)images);
    if (old != NULL && controls != NULL)
        controls->imageListDestroy(old);
}

BOOL InitWindowListColumns(HWND listView)
{
    int dpi = GetWindowDpi(listView);
    SetListIconsForDpi(listView, dpi);
    AddListViewExStyle(listView, LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT);
    for (int column = 0; column < WINDOW_LIST_COLUMN_COUNT; ++column)
        InsertListColumn(listView, column, LIST_COLUMNS[column].caption, ScaleForDpi(LIST_COLUMNS[column].width, dpi));
    return TRUE;
}

BOOL ScaleWindowListForDpi(HWND listView, int oldDpi, int newDpi)
{
    for (int column = 0; column < WINDOW_LIST_COLUMN_COUNT; ++column) {
        int width = (int)SendMessageA(listView, LVM_GETCOLUMNWIDTH, column, 0);
        SendMessageA(listView, LVM_SETCOLUMNWIDTH, column, MulDiv(width, newDpi, oldDpi));
    }
    SetListIconsForDpi(listView, newDpi);
    return TRUE;
}

// What the rows in view show: their cells, their icon and whether they are
// selected or focused, with where the view stands.
struct RowPicture {
    std::string cells[WINDOW_LIST_COLUMN_COUNT];
    HICON icon;
    UINT state;
    bool operator!=(const RowPicture& o) const
    {
        return icon != o.icon || state != o.state || !std::equal(cells, cells + WINDOW_LIST_COLUMN_COUNT, o.cells);
    }
};
struct ListPicture {
    int rows, top;
    std::vector<RowPicture> inView;
};

static HICON IconOfImage(int image)
{
    for (const IconCopy& copy : iconCopies) {
        if (copy.image == image)
            return copy.icon;
    }
    return NULL;
}

static void TakeListPicture(HWND listView, ListPicture* picture)
{
    picture->rows = (int)SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0);
    picture->top = (int)SendMessageA(listView, LVM_GETTOPINDEX, 0, 0);
    // One more than fit whole: the last may show in part.
    int end = std::min(picture->rows, picture->top + (int)SendMessageA(listView, LVM_GETCOUNTPERPAGE, 0, 0) + 1);
    picture->inView.assign((size_t)std::max(0, end - picture->top), RowPicture());
    std::vector<char> text(LIST_CELL_TEXT_SIZE);
    for (int index = picture->top; index < end; ++index) {
        RowPicture& row = picture->inView[(size_t)(index - picture->top)];
        LVITEMA item;
        memset(&item, 0, sizeof(item));
        item.mask = LVIF_IMAGE | LVIF_STATE;
        item.iItem = index;
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(listView, LVM_GETITEMA, 0, (LPARAM)&item);
        row.icon = IconOfImage(item.iImage);
        row.state = item.state & item.stateMask;
        for (int column = 0; column < WINDOW_LIST_COLUMN_COUNT; ++column) {
            ReadListCellText(listView, index, column, text.data(), LIST_CELL_TEXT_SIZE);
            row.cells[column] = text.data();
        }
    }
}

// Drawing off and on as the system's own WM_SETREDRAW handling does it:
// besides the control's flag, the window counts as hidden meanwhile. Wine's
// list view skips that part, and then repaints its scroll bars at once when
// drawing comes back on (several milliseconds each).
static void SetListRedraw(HWND listView, BOOL redraw)
{
    SendMessageA(listView, WM_SETREDRAW, redraw, 0);
    DefWindowProcA(listView, WM_SETREDRAW, redraw, 0);
}

// Painting the whole list costs a Wine list view some 25 ms whatever it
// holds, and it keeps the program from answering for that long after every
// refresh. Most refreshes change a row or none, so only the rows in view
// whose picture changed are repainted. When the rows in view moved or their
// number changed (and with it the scroll bars), all of it is, frame and
// header included, as the system does when drawing comes back on.
static void RepaintChangedRows(HWND listView, const ListPicture& before)
{
    ListPicture after;
    TakeListPicture(listView, &after);
    if (after.rows != before.rows || after.top != before.top || after.inView.size() != before.inView.size()) {
        RedrawWindow(listView, NULL, NULL, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
        return;
    }
    for (size_t i = 0; i < after.inView.size(); ++i) {
        if (after.inView[i] != before.inView[i]) {
            RECT row;
            row.left = LVIR_BOUNDS;
            if (SendMessageA(listView, LVM_GETITEMRECT, (WPARAM)(after.top + (int)i), (LPARAM)&row))
                InvalidateRect(listView, &row, TRUE);
        }
    }
}

static void InsertEnumeratedRows(HWND listView)
{
    std::vector<std::string> titles;
    titles.reserve(enumeratedRows.size());
    for (const WindowListRow& row : enumeratedRows)
        titles.push_back(row.cells[0]);
    for (size_t index : OrderForSortedInsertion(titles))
        AddWindowListRow(listView, &enumeratedRows[index]);
    enumeratedRows.clear();
}

BOOL RefreshWindowList(HWND listView, AppState* appState)
{
    HWND remembered = GetSelectedListWindow(listView);
    // Taken while the last refresh's icon copies are still known: the
    // picture names each row's icon through them.
    ListPicture before;
    TakeListPicture(listView, &before);
    SetListRedraw(listView, FALSE);
    SendMessageA(listView, LVM_DELETEALLITEMS, 0, 0);
    // Every row is gone, so are the users of every image: start the image
    // list afresh instead of letting it grow with each refresh.
    HIMAGELIST images = GetSmallImageList(listView);
    if (images != NULL)
        LoadCommonControls()->imageListRemove(images, -1);  // all of them
    iconCopies.clear();
    silentThreads.ids.clear();

    BeginCallContext(&listInfo, listView, appState);
    EnumWindows(WindowListEnumProc, (LPARAM)listView);
    EndCallContext(&listInfo, listView);
    InsertEnumeratedRows(listView);

    SelectListRow(listView, 0);
    if (remembered != NULL)
        SelectListRowOfWindow(listView, remembered);
    SortWindowList(listView, appState);
    SetListRedraw(listView, TRUE);
    RepaintChangedRows(listView, before);
    return TRUE;
}

std::vector<size_t> OrderForSortedInsertion(const std::vector<std::string>& titles)
{
    std::vector<std::string> keys(titles.size());
    bool haveKeys = true;
    for (size_t i = 0; i < titles.size(); ++i)
        haveKeys = MakeCollationKey(titles[i].c_str(), &keys[i]) && haveKeys;
    std::vector<size_t> order(titles.size());
    std::iota(order.begin(), order.end(), 0);
    // Descending, and equal titles in the order they came (stable).
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return CompareListTexts(haveKeys, keys[a], keys[b], titles[a].c_str(), titles[b].c_str()) > 0;
    });
    return order;
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

void ReadListCellText(HWND listView, int index, int column, char* buffer, int capacity)
{
    LVITEMA item;
    memset(&item, 0, sizeof(item));
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = capacity;
    buffer[0] = '\0';
    SendMessageA(listView, LVM_GETITEMTEXTA, index, (LPARAM)&item);
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
    const AppState* appState = (const AppState*)ReadCallContext(&listInfo, (HWND)listView);
    if (appState != NULL && IsWindowListed(hwnd, appState)) {
        enumeratedRows.emplace_back();
        ReadWindowListRow((HWND)listView, hwnd, &enumeratedRows.back());
    }
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

void ReadWindowListRow(HWND listView, HWND hwnd, WindowListRow* row)
{
    static WindowSnapshot snapshot;  // 33 KB: not on the stack of an enumeration callback
    CaptureWindowSnapshotAmong(hwnd, &snapshot, &silentThreads);
    row->hwnd = hwnd;
    row->image = snapshot.icon != NULL ? FindOrAddListIcon(listView, snapshot.icon) : -1;
    char buffer[16];
    for (int column = 0; column < WINDOW_LIST_COLUMN_COUNT; ++column)
        row->cells[column] = FormatListCell(&snapshot, column, buffer, sizeof(buffer));
}

int AddWindowListRow(HWND listView, const WindowListRow* row)
{
    LVITEMA item;
    memset(&item, 0, sizeof(item));
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = (int)SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0);
    item.pszText = (char*)row->cells[0].c_str();
    item.iImage = row->image;
    item.lParam = (LPARAM)row->hwnd;
    int index = (int)SendMessageA(listView, LVM_INSERTITEMA, 0, (LPARAM)&item);

    for (int column = 1; column < WINDOW_LIST_COLUMN_COUNT; ++column) {
        LVITEMA cell;
        memset(&cell, 0, sizeof(cell));
        cell.iSubItem = column;
        cell.pszText = (char*)row->cells[column].c_str();
        SendMessageA(listView, LVM_SETITEMTEXTA, index, (LPARAM)&cell);
    }
    return index;
}

int AddListIcon(HWND listView, HICON icon)
{
    HIMAGELIST images = GetSmallImageList(listView);
    if (images == NULL)
        return -1;
    return LoadCommonControls()->imageListReplaceIcon(images, -1, icon);
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
