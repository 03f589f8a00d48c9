#include "catalogue/list_sort.h"

#include <commctrl.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "app/app_state.h"
#include "app/call_context.h"
#include "catalogue/window_list.h"

const char PROP_LISTVIEWSORTINFO[] = "PROP_LISTVIEWSORTINFO";

// The sort column's texts as they stood when the sort began, ordered by
// window handle. The control's contents are unstable while it sorts, and a
// lookup per comparison must not cost a scan of the whole list.
// Each text is kept with its collation key, so that a comparison is a byte
// comparison rather than two conversions and a locale comparison. Should a
// key fail, the sort compares the texts instead.
struct SortKey {
    HWND hwnd;
    std::string text;
    std::string collationKey;
};

// What the comparison needs, attached to the list view for one sort.
struct SortContext {
    BYTE ascending;
    bool haveCollationKeys;
    std::vector<SortKey> keys;
    std::string emptyKey;  // for a row that is not in the table, which sorts as empty text
};

static CallContext sortInfo = {PROP_LISTVIEWSORTINFO, NULL, NULL};

bool MakeCollationKey(const char* text, std::string* key)
{
    // What lstrcmpiA compares with, and where: the thread's locale, but the
    // text read in the ANSI code page, which may not be that locale's own
    // (English formats with Japanese for programs that are not Unicode).
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE | LOCALE_USE_CP_ACP;
    const LCID locale = GetThreadLocale();
    int size = LCMapStringA(locale, flags, text, -1, NULL, 0);
    if (size <= 0)
        return false;
    key->resize((size_t)size);
    return LCMapStringA(locale, flags, text, -1, &(*key)[0], size) != 0;
}

int CompareCollationKeys(const std::string& a, const std::string& b)
{
    // Byte by byte over the common length, then the shorter first: a key
    // may hold zero bytes before its end, so it is no C string.
    int r = memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    if (r != 0)
        return r;
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

int CompareListTexts(bool haveKeys, const std::string& keyA, const std::string& keyB, const char* textA,
                     const char* textB)
{
    return haveKeys ? CompareCollationKeys(keyA, keyB) : lstrcmpiA(textA, textB);
}

static bool IsBeforeByHandle(const SortKey& a, const SortKey& b)
{
    return (UINT_PTR)a.hwnd < (UINT_PTR)b.hwnd;
}

static void BuildSortKeys(HWND listView, int column, SortContext* context)
{
    context->haveCollationKeys = MakeCollationKey("", &context->emptyKey);
    int rows = (int)SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0);
    std::vector<char> cell(LIST_CELL_TEXT_SIZE);
    context->keys.resize((size_t)rows);
    for (int index = 0; index < rows; ++index) {
        ReadListCellText(listView, index, column, cell.data(), LIST_CELL_TEXT_SIZE);
        SortKey& key = context->keys[(size_t)index];
        key.hwnd = GetListRowWindow(listView, index);
        key.text = cell.data();
        if (!MakeCollationKey(cell.data(), &key.collationKey))
            context->haveCollationKeys = false;
    }
    std::sort(context->keys.begin(), context->keys.end(), IsBeforeByHandle);
}

static const SortKey* LookUpSortKey(const SortContext* context, HWND hwnd)
{
    SortKey probe = {hwnd, std::string(), std::string()};
    auto found = std::lower_bound(context->keys.begin(), context->keys.end(), probe, IsBeforeByHandle);
    return found != context->keys.end() && found->hwnd == hwnd ? &*found : NULL;
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
    SortContext context;
    context.ascending = appState->sortAscending;
    BuildSortKeys(listView, appState->sortColumn, &context);
    BeginCallContext(&sortInfo, listView, &context);
    SendMessageA(listView, LVM_SORTITEMS, (WPARAM)listView, (LPARAM)CompareWindowListRows);
    EndCallContext(&sortInfo, listView);
    return TRUE;
}

int CALLBACK CompareWindowListRows(LPARAM itemData1, LPARAM itemData2, LPARAM sortParam)
{
    const SortContext* context = (const SortContext*)ReadCallContext(&sortInfo, (HWND)sortParam);
    if (context == NULL)
        return 0;
    const SortKey* a = LookUpSortKey(context, (HWND)itemData1);
    const SortKey* b = LookUpSortKey(context, (HWND)itemData2);
    int r = CompareListTexts(context->haveCollationKeys, a != NULL ? a->collationKey : context->emptyKey,
                             b != NULL ? b->collationKey : context->emptyKey, a != NULL ? a->text.c_str() : "",
                             b != NULL ? b->text.c_str() : "");
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
