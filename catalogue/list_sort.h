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

// Puts rows that were appended (in the order they were added) into the
// order that the control's sorted insertion (LVS_SORTASCENDING) would have
// given them: by title as the control compares it, and among equal titles
// the later row first. Inserting into a sorted control costs a scan of the
// list per row; this costs one sort.
BOOL OrderAsSortedInsertion(HWND listView);

#endif
