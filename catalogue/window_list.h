// The report list of top-level windows in the main dialog: set-up, the
// rebuild from a fresh enumeration, and the row <-> window lookups.
#ifndef VANTORA_WINDOW_LIST_H
#define VANTORA_WINDOW_LIST_H

#include <windows.h>

struct AppState;
struct WindowSnapshot;

const int WINDOW_LIST_COLUMN_COUNT = 8;
const int LIST_CELL_TEXT_SIZE = 32768;

BOOL InitWindowListColumns(HWND listView);
BOOL RefreshWindowList(HWND listView, AppState* appState);

int GetSelectedListIndex(HWND listView);
HWND GetSelectedListWindow(HWND listView);
BOOL IsValidListIndex(HWND listView, int index);
HWND GetListRowWindow(HWND listView, int index);
BOOL SelectListRow(HWND listView, int index);
int SelectListRowOfWindow(HWND listView, HWND hwnd);

BOOL CALLBACK WindowListEnumProc(HWND hwnd, LPARAM listView);
BOOL IsWindowListed(HWND hwnd, const AppState* appState);
int AddWindowListRow(HWND listView, HWND hwnd);
int AddListIcon(HWND listView, HICON icon);
int InsertListColumn(HWND listView, int index, const char* caption, int width);
BOOL AddListViewExStyle(HWND listView, DWORD bits);

// The text of one column for a snapshot, as the row shows it. `buffer`
// holds at least 16 bytes for the short columns; the title and class
// columns point into the snapshot instead and ignore it.
const char* FormatListCell(const WindowSnapshot* snapshot, int column, char* buffer, size_t size);

#endif
