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

#endif
