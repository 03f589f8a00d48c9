// Ordering the window list by one column's text, case-insensitively.
#ifndef VANTORA_LIST_SORT_H
#define VANTORA_LIST_SORT_H

#include <windows.h>

struct AppState;

int SortWindowListByColumn(HWND listView, int column);
BOOL SortWindowList(HWND listView, AppState* appState);
// `sortParam` is the sort's own context, built by SortWindowList.
int CALLBACK CompareWindowListRows(LPARAM itemData1, LPARAM itemData2, LPARAM sortParam);
int FindListRowOfWindow(HWND listView, HWND hwnd);
// The text's collation key, which strcmp orders exactly as lstrcmpiA orders
// the texts; NULL when it cannot be made. The caller frees it.
char* MakeCollationKey(const char* text);

// A row as the list's own sorted insertion (LVS_SORTASCENDING) sees it: its
// title and when it was added.
struct InsertedRow {
    HWND hwnd;
    const char* title;
    int sequence;
};
// Puts rows that were appended in `sequence` order into the order that the
// control's sorted insertion would have given them: by title (lstrcmpA),
// and among equal titles the later one first. Inserting into a sorted
// control costs a scan of the list per row; this costs one sort. `rows` is
// reordered (by window handle) for the look-ups.
BOOL OrderAsSortedInsertion(HWND listView, InsertedRow* rows, int count);

#endif
