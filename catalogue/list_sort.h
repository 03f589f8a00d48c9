// Ordering the window list by one column's text, case-insensitively.
#ifndef VANTORA_LIST_SORT_H
#define VANTORA_LIST_SORT_H

#include <windows.h>

#include <string>

struct AppState;

extern const char PROP_LISTVIEWSORTINFO[];

int SortWindowListByColumn(HWND listView, int column);
BOOL SortWindowList(HWND listView, AppState* appState);
// `sortParam` is the list view; the sort's context is its PROP_LISTVIEWSORTINFO.
int CALLBACK CompareWindowListRows(LPARAM itemData1, LPARAM itemData2, LPARAM sortParam);
int FindListRowOfWindow(HWND listView, HWND hwnd);

// The text's collation key for the locale lstrcmpiA compares in: keys
// compared whole with CompareCollationKeys order exactly as lstrcmpiA orders
// the texts. A key may hold zero bytes before its end. false when it cannot
// be made.
bool MakeCollationKey(const char* text, std::string* key);
int CompareCollationKeys(const std::string& a, const std::string& b);
// The one rule for ordering two texts: by their keys where every key could
// be made, else as lstrcmpiA orders the texts themselves.
int CompareListTexts(bool haveKeys, const std::string& keyA, const std::string& keyB, const char* textA,
                     const char* textB);

#endif
