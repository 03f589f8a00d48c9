#include "catalogue/list_sort.h"

#include <commctrl.h>
#include <stdlib.h>
#include <string.h>

#include "app/app_state.h"
#include "catalogue/window_list.h"

// The sort column's texts as they stood when the sort began, ordered by
// window handle. The control's contents are unstable while it sorts, and a
// lookup per comparison must not cost a scan of the whole list.
struct SortKey {
    HWND hwnd;
    char* text;
};

struct SortKeyTable {
    int count;
    SortKey* keys;
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

static BOOL BuildSortKeys(HWND listView, int column, SortKeyTable* table)
{
    table->count = 0;
    int rows = (int)SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0);
    table->keys = rows > 0 ? (SortKey*)calloc(rows, sizeof(SortKey)) : NULL;
    char* cell = (char*)malloc(LIST_CELL_TEXT_SIZE);
    if (rows > 0 && (table->keys == NULL || cell == NULL)) {
        free(table->keys);
        free(cell);
        table->keys = NULL;
        return FALSE;
    }
    for (int index = 0; index < rows; ++index) {
        ReadListCellText(listView, index, column, cell, LIST_CELL_TEXT_SIZE);
        SortKey* key = &table->keys[table->count];
        key->hwnd = GetListRowWindow(listView, index);
        key->text = strdup(cell);
        if (key->text != NULL)
            ++table->count;
    }
    free(cell);
    qsort(table->keys, table->count, sizeof(SortKey), CompareKeyHandles);
    return TRUE;
}

static void FreeSortKeys(SortKeyTable* table)
{
    for (int i = 0; i < table->count; ++i)
        free(table->keys[i].text);
    free(table->keys);
    table->keys = NULL;
    table->count = 0;
}

static const char* LookUpSortText(const SortKeyTable* table, HWND hwnd)
{
    SortKey probe = {hwnd, NULL};
    const SortKey* key = table->count > 0
        ? (const SortKey*)bsearch(&probe, table->keys, table->count, sizeof(SortKey), CompareKeyHandles)
        : NULL;
    return key != NULL ? key->text : "";
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
    SortContext context = {appState->sortAscending, {0, NULL}};
    if (!BuildSortKeys(listView, appState->sortColumn, &context.table))
        return TRUE;  // out of memory: the rows keep their order
    SendMessageA(listView, LVM_SORTITEMS, (WPARAM)&context, (LPARAM)CompareWindowListRows);
    FreeSortKeys(&context.table);
    return TRUE;
}

int CALLBACK CompareWindowListRows(LPARAM itemData1, LPARAM itemData2, LPARAM sortParam)
{
    const SortContext* context = (const SortContext*)sortParam;
    int r = lstrcmpiA(LookUpSortText(&context->table, (HWND)itemData1),
                      LookUpSortText(&context->table, (HWND)itemData2));
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


static int CompareRowHandles(const void* a, const void* b)
{
    UINT_PTR x = (UINT_PTR)((const InsertedRow*)a)->hwnd;
    UINT_PTR y = (UINT_PTR)((const InsertedRow*)b)->hwnd;
    return x < y ? -1 : x > y ? 1 : 0;
}

struct InsertedRows {
    const InsertedRow* rows;
    int count;
};

static const InsertedRow* LookUpInsertedRow(const InsertedRows* table, HWND hwnd)
{
    InsertedRow probe = {hwnd, NULL, 0};
    return (const InsertedRow*)bsearch(&probe, table->rows, table->count, sizeof(InsertedRow), CompareRowHandles);
}

static int CALLBACK CompareAsInserted(LPARAM itemData1, LPARAM itemData2, LPARAM sortParam)
{
    const InsertedRows* table = (const InsertedRows*)sortParam;
    const InsertedRow* a = LookUpInsertedRow(table, (HWND)itemData1);
    const InsertedRow* b = LookUpInsertedRow(table, (HWND)itemData2);
    if (a == NULL || b == NULL)
        return a == b ? 0 : a == NULL ? 1 : -1;
    int r = lstrcmpA(a->title, b->title);
    if (r != 0)
        return r;
    return b->sequence - a->sequence;  // a row goes in before the equal rows already there
}

BOOL OrderAsSortedInsertion(HWND listView, InsertedRow* rows, int count)
{
    qsort(rows, count, sizeof(InsertedRow), CompareRowHandles);
    InsertedRows table = {rows, count};
    SendMessageA(listView, LVM_SORTITEMS, (WPARAM)&table, (LPARAM)CompareAsInserted);
    return TRUE;
}
