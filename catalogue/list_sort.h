// Ordering the window list by one column's text, case-insensitively.
#ifndef VANTORA_LIST_SORT_H
#define VANTORA_LIST_SORT_H

#include <windows.h>

struct AppState;

extern const char PROP_LISTVIEWSORTKEYS[];

int SortWindowListByColumn(HWND listView, int column);
BOOL SortWindowList(HWND listView, AppState* appState);
int CALLBACK CompareWindowListRows(LPARAM itemData1, LPARAM itemData2, LPARAM sortParam);
BOOL GetListCellTextOfWindow(HWND listView, char* buffer, int capacity, HWND hwnd, int column);
int FindListRowOfWindow(HWND listView, HWND hwnd);

#endif
