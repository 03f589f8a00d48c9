#include "catalogue/list_sort.h"

#include <commctrl.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "catalogue/window_list.h"

// The sort column's texts as they stood when the sort began, ordered by
// window handle. The control's contents are unstable while it sorts, and a
// lookup per comparison must not cost a scan of the whole list.
// Each text is kept with its collation key (LCMapStringA with the flags
// lstrcmpiA compares with), so that a comparison is a byte comparison rather
// than two conversions and a locale comparison; the keys order exactly as
// lstrcmpiA does. Should a key fail, the sort compares the texts instead.
struct SortKey {
    HWND hwnd;
    char* text;
    char* collationKey;
};

struct SortKeyTable {
    int count;
    SortKey* keys;
    bool haveCollationKeys;
    char* emptyKey;  // for a row that is not in the table, which sorts as empty text
};

// What the comparison needs, handed to it as the sort parameter: a window
// property lookup per comparison is a round trip to the window manager.
struct SortContext {
    BYTE ascending;
    SortKeyTable table;
};

static int CompareKeyHandles(const void* a, const void* b)
{
    UINT_PTR x = (UINT_PTR)((const SortKey*)a)->hwnd;
    UINT_PTR y = (UINT_PTR)((const SortKey*)b)->hwnd;
    return x < y ? -1 : x > y ? 1 : 0;
}

static void ReadListCellText(HWND listView, int index, int column, char* buffer, int capacity)
{
    LVITEMA item;
    memset(&item, 0, sizeof(item));
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = capacity;
    buffer[0] = '\0';
    SendMessageA(listView, LVM_GETITEMTEXTA, index, (LPARAM)&item);
}

char* MakeCollationKey(const char* text)
{
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    int size = LCMapStringA(LOCALE_USER_DEFAULT, flags, text, -1, NULL, 0);
    char* key = size > 0 ? (char*)malloc((size_t)size) : NULL;
    if (key != NULL && LCMapStringA(LOCALE_USER_DEFAULT, flags, text, -1, key, size) == 0) {
        free(key);
        key = NULL;
    }
    return key;
}

static BOOL BuildSortKeys(HWND listView, int column, SortKeyTable* table)
{
    table->count = 0;
    table->emptyKey = MakeCollationKey("");
    table->haveCollationKeys = table->emptyKey != NULL;
    int rows = (int)SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0);
    table->keys = rows > 0 ? (SortKey*)calloc(rows, sizeof(SortKey)) : NULL;
    char* cell = (char*)malloc(LIST_CELL_TEXT_SIZE);
    if (rows > 0 && (table->keys == NULL || cell == NULL)) {
        free(table->keys);
        free(cell);
        free(table->emptyKey);
        table->keys = NULL;
        table->emptyKey = NULL;
        return FALSE;
    }
    for (int index = 0; index < rows; ++index) {
        ReadListCellText(listView, index, column, cell, LIST_CELL_TEXT_SIZE);
        SortKey* key = &table->keys[table->count];
        key->hwnd = GetListRowWindow(listView, index);
        key->text = strdup(cell);
        key->collationKey = MakeCollationKey(cell);
        if (key->collationKey == NULL)
            table->haveCollationKeys = false;
        if (key->text != NULL)
            ++table->count;
        else
            free(key->collationKey);
    }
    free(cell);
    qsort(table->keys, table->count, sizeof(SortKey), CompareKeyHandles);
    return TRUE;
}

static void FreeSortKeys(SortKeyTable* table)
{
    for (int i = 0; i < table->count; ++i) {
        free(table->keys[i].text);
        free(table->keys[i].collationKey);
    }
    free(table->emptyKey);
    table->emptyKey = NULL;
    free(table->keys);
    table->keys = NULL;
    table->count = 0;
}

static const SortKey* LookUpSortKey(const SortKeyTable* table, HWND hwnd)
{
    SortKey probe = {hwnd, NULL, NULL};
    return table->count > 0
        ? (const SortKey*)bsearch(&probe, table->keys, table->count, sizeof(SortKey), CompareKeyHandles)
        : NULL;
}

int SortWindowListByColumn(HWND listView, int column)
{
    AppState* appState = GetAppState(GetParent(listView));
    if (appState == NULL)
        return 1;
    if (column == appState->sortColumn)
        appState->sortAscending = appState->sortAscending ? 0 : 1;
    else
        appState->sortAscending = 1;
    appState->sortColumn = column;
    SortWindowList(listView, appState);
    return 1;
}

BOOL SortWindowList(HWND listView, AppState* appState)
{
    SortContext context = {appState->sortAscending, {0, NULL, false, NULL}};
    if (!BuildSortKeys(listView, appState->sortColumn, &context.table))
        return TRUE;  // out of memory: the rows keep their order
    SendMessageA(listView, LVM_SORTITEMS, (WPARAM)&context, (LPARAM)CompareWindowListRows);
    FreeSortKeys(&context.table);
    return TRUE;
}

int CALLBACK CompareWindowListRows(LPARAM itemData1, LPARAM itemData2, LPARAM sortParam)
{
    const SortContext* context = (const SortContext*)sortParam;
    const SortKey* a = LookUpSortKey(&context->table, (HWND)itemData1);
    const SortKey* b = LookUpSortKey(&context->table, (HWND)itemData2);
    int r;
    if (context->table.haveCollationKeys)
        r = strcmp(a != NULL ? a->collationKey : context->table.emptyKey,
                   b != NULL ? b->collationKey : context->table.emptyKey);
    else
        r = lstrcmpiA(a != NULL ? a->text : "", b != NULL ? b->text : "");
    return context->ascending ? r : -r;
}

int FindListRowOfWindow(HWND listView, HWND hwnd)
{
    LVFINDINFOA find;
    memset(&find, 0, sizeof(find));
    find.flags = LVFI_PARAM;
    find.lParam = (LPARAM)hwnd;
    return (int)SendMessageA(listView, LVM_FINDITEMA, (WPARAM)-1, (LPARAM)&find);
}


// A row as the sorted insertion sees it: its title as the control holds
// it (UTF-16, compared with lstrcmpW) and when it was added.
struct InsertedRow {
    HWND hwnd;
    int row;
    std::wstring title;
};

static bool IsBeforeByHandle(const InsertedRow& a, const InsertedRow& b)
{
    return (UINT_PTR)a.hwnd < (UINT_PTR)b.hwnd;
}

static const InsertedRow* LookUpInsertedRow(const std::vector<InsertedRow>* rows, HWND hwnd)
{
    InsertedRow probe = {hwnd, 0, std::wstring()};
    auto found = std::lower_bound(rows->begin(), rows->end(), probe, IsBeforeByHandle);
    return found != rows->end() && found->hwnd == hwnd ? &*found : NULL;
}

static int CALLBACK CompareAsInserted(LPARAM itemData1, LPARAM itemData2, LPARAM sortParam)
{
    const std::vector<InsertedRow>* rows = (const std::vector<InsertedRow>*)sortParam;
    const InsertedRow* a = LookUpInsertedRow(rows, (HWND)itemData1);
    const InsertedRow* b = LookUpInsertedRow(rows, (HWND)itemData2);
    if (a == NULL || b == NULL)
        return a == b ? 0 : a == NULL ? 1 : -1;
    int r = lstrcmpW(a->title.c_str(), b->title.c_str());
    if (r != 0)
        return r;
    return b->row - a->row;  // a row goes in before the equal rows already there
}

BOOL OrderAsSortedInsertion(HWND listView)
{
    int count = (int)SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0);
    std::vector<InsertedRow> rows;
    std::vector<WCHAR> title(LIST_CELL_TEXT_SIZE);
    for (int index = 0; index < count; ++index) {
        LVITEMW item = {};
        item.pszText = title.data();
        item.cchTextMax = (int)title.size();
        title[0] = L'\0';
        SendMessageW(listView, LVM_GETITEMTEXTW, index, (LPARAM)&item);
        rows.push_back({GetListRowWindow(listView, index), index, title.data()});
    }
    std::sort(rows.begin(), rows.end(), IsBeforeByHandle);
    SendMessageA(listView, LVM_SORTITEMS, (WPARAM)&rows, (LPARAM)CompareAsInserted);
    return TRUE;
}
