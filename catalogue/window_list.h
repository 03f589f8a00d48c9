// The report list of top-level windows in the main dialog: set-up, the
// rebuild from a fresh enumeration, and the row <-> window lookups.
#ifndef VANTORA_WINDOW_LIST_H
#define VANTORA_WINDOW_LIST_H

#include <windows.h>

#include <string>
#include <vector>

struct AppState;
struct WindowSnapshot;

const int WINDOW_LIST_COLUMN_COUNT = 8;
const int LIST_CELL_TEXT_SIZE = 32768;

BOOL InitWindowListColumns(HWND listView);
// The list moved to a monitor of another DPI: every column's width, as the
// user left it, scaled by new over old, and an empty small-icon list of the
// new size, which the next refresh fills.
BOOL ScaleWindowListForDpi(HWND listView, int oldDpi, int newDpi);
BOOL RefreshWindowList(HWND listView, AppState* appState);

int GetSelectedListIndex(HWND listView);
HWND GetSelectedListWindow(HWND listView);
BOOL IsValidListIndex(HWND listView, int index);
HWND GetListRowWindow(HWND listView, int index);
// The text of one cell (column 0 is the title) into `buffer`; empty when there is none.
void ReadListCellText(HWND listView, int index, int column, char* buffer, int capacity);
BOOL SelectListRow(HWND listView, int index);
int SelectListRowOfWindow(HWND listView, HWND hwnd);

// A listed window's row, read during the enumeration and inserted once it is
// over: the window, its image and its eight cell texts.
struct WindowListRow {
    HWND hwnd;
    int image;
    std::string cells[WINDOW_LIST_COLUMN_COUNT];
};

BOOL CALLBACK WindowListEnumProc(HWND hwnd, LPARAM listView);
BOOL IsWindowListed(HWND hwnd, const AppState* appState);
// Reads a window into a row; its icon is copied into the list at once.
void ReadWindowListRow(HWND listView, HWND hwnd, WindowListRow* row);
int AddWindowListRow(HWND listView, const WindowListRow* row);
// The order in which to insert rows (given by their titles, in the order the
// windows were enumerated) into the list, which places each row itself by
// its title (LVS_SORTASCENDING). The rows end in the order that inserting
// them as enumerated gives, whatever the control's comparison, as long as it
// tells apart at least what lstrcmpiA tells apart; and with the control
// comparing as lstrcmpiA does or finer, each row lands in front of those
// already in, so the control's scan for its place stops at once.
std::vector<size_t> OrderForSortedInsertion(const std::vector<std::string>& titles);
int AddListIcon(HWND listView, HICON icon);
int InsertListColumn(HWND listView, int index, const char* caption, int width);
BOOL AddListViewExStyle(HWND listView, DWORD bits);

// The text of one column for a snapshot, as the row shows it. `buffer`
// holds at least 16 bytes for the short columns; the title and class
// columns point into the snapshot instead and ignore it.
const char* FormatListCell(const WindowSnapshot* snapshot, int column, char* buffer, size_t size);

#endif
