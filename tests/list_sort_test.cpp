#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <string.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "app/commands.h"
#include "catalogue/list_sort.h"
#include "catalogue/window_list.h"
#include "resources/resource_ids.h"
#include "tests/dialog_harness.h"
#include "tests/fixture_windows.h"

namespace {
// Long titles that differ only in where their second hyphen stands: their
// collation keys hold a zero byte (for the first hyphen) before they differ.
std::string Hyphenated(size_t at)
{
    std::string title(300, 'a');
    title[255] = '-';
    title[at] = '-';
    return title;
}
}  // namespace

class ListSortTest : public MainDialogWithFixtures {
protected:
    void SetUp() override
    {
        MainDialogWithFixtures::SetUp();
        // The last two share a long prefix, and their styles differ only in
        // the last digit, in the opposite order: a comparison that stops
        // early shows in either column.
        const char* titles[] = {"sort Delta", "sort alpha", "SORT Charlie", "sort bravo", "sort echo",
                                "sort shared long prefix 2", "sort shared long prefix 1"};
        const DWORD styles[] = {WS_OVERLAPPEDWINDOW, WS_POPUP | WS_CAPTION, WS_POPUP, WS_OVERLAPPED | WS_SYSMENU,
                                WS_POPUP | WS_BORDER, WS_POPUP | 1, WS_POPUP | 2};
        for (int i = 0; i < 7; ++i) {
            FixtureSpec wanted;
            wanted.title = titles[i];
            wanted.style = styles[i];
            wanted.showCmd = i == 3 ? SW_HIDE : SW_SHOWNOACTIVATE;
            windows.push_back(CreateFixtureWindow(fixtures, wanted));
        }
        SendCommand(main.dialog, CMD_REFRESH);
    }
    void ClickColumn(int column)
    {
        NMLISTVIEW notify = {};
        notify.hdr.hwndFrom = main.list;
        notify.hdr.idFrom = IDC_WINDOW_LIST;
        notify.hdr.code = LVN_COLUMNCLICK;
        notify.iItem = -1;
        notify.iSubItem = column;
        SendMessageA(main.dialog, WM_NOTIFY, IDC_WINDOW_LIST, (LPARAM)&notify);
    }
    // Every neighbouring pair of rows in the order lstrcmpiA gives (or its reverse).
    void ExpectSorted(int column, bool ascending)
    {
        int rows = RowCount(main.list);
        ASSERT_GT(rows, 5);
        for (int row = 0; row + 1 < rows; ++row) {
            int r = lstrcmpiA(CellText(main.list, row, column).c_str(), CellText(main.list, row + 1, column).c_str());
            EXPECT_TRUE(ascending ? r <= 0 : r >= 0) << "column " << column << " rows " << row << "," << row + 1;
        }
    }
    std::vector<HWND> FixtureOrder()
    {
        std::vector<std::pair<int, HWND>> rows;
        for (HWND w : windows)
            rows.push_back({FindListRowOfWindow(main.list, w), w});
        std::sort(rows.begin(), rows.end());
        std::vector<HWND> order;
        for (auto& r : rows)
            order.push_back(r.second);
        return order;
    }
    std::vector<HWND> windows;
};

TEST_F(ListSortTest, StartsByTitleAscendingCaseInsensitively)
{
    ExpectSorted(0, true);
    std::vector<HWND> expected = {windows[1], windows[3], windows[2], windows[0], windows[4], windows[6], windows[5]};
    EXPECT_EQ(expected, FixtureOrder());
}

TEST_F(ListSortTest, EachColumnSortsAscendingThenDescending)
{
    for (int column = 1; column < WINDOW_LIST_COLUMN_COUNT; ++column) {
        ClickColumn(column);
        EXPECT_EQ(column, main.state->sortColumn);
        EXPECT_EQ(1, main.state->sortAscending);
        ExpectSorted(column, true);
        ClickColumn(column);
        EXPECT_EQ(0, main.state->sortAscending);
        ExpectSorted(column, false);
    }
    // The title column is the current one at start: its first click reverses.
    ClickColumn(0);
    ClickColumn(0);
    EXPECT_EQ(0, main.state->sortColumn);
    EXPECT_EQ(0, main.state->sortAscending);
    ExpectSorted(0, false);
}

TEST_F(ListSortTest, ThirdClickEqualsTheFirstAndAnotherColumnStartsAscending)
{
    ClickColumn(1);
    ClickColumn(0);  // another column: ascending
    EXPECT_EQ(1, main.state->sortAscending);
    std::vector<HWND> first = FixtureOrder();
    ClickColumn(0);
    EXPECT_NE(first, FixtureOrder());
    ClickColumn(0);
    EXPECT_EQ(first, FixtureOrder());

    ClickColumn(0);  // descending now
    ClickColumn(4);
    EXPECT_EQ(4, main.state->sortColumn);
    EXPECT_EQ(1, main.state->sortAscending);
}

TEST_F(ListSortTest, OrderSurvivesARefreshAndCallbacksRunOutsideACallFindNoContext)
{
    // Between calls nothing is attached, and what a stray read finds must
    // not stay for the next call.
    EXPECT_EQ(0, CompareWindowListRows((LPARAM)windows[0], (LPARAM)windows[1], (LPARAM)main.list));
    EXPECT_TRUE(WindowListEnumProc(windows[0], (LPARAM)main.list));
    HWND late = CreateTitledFixture(fixtures, "sort late");
    ClickColumn(0);
    std::vector<HWND> descending = FixtureOrder();
    SendCommand(main.dialog, CMD_REFRESH);
    EXPECT_EQ(descending, FixtureOrder());
    ExpectSorted(0, false);
    EXPECT_GE(FindListRowOfWindow(main.list, late), 0);
    // Their contexts were the list's only for the length of each call.
    EXPECT_EQ(nullptr, GetPropA(main.list, PROP_LISTVIEWINFO));
    EXPECT_EQ(nullptr, GetPropA(main.list, PROP_LISTVIEWSORTINFO));
}

TEST_F(ListSortTest, CaseAndAHyphensPlaceInLongTitlesSortAsLstrcmpiOrdersThem)
{
    CreateTitledFixture(fixtures, "sort ECHO");  // "sort echo" but for case
    for (size_t at : {260, 270})
        CreateTitledFixture(fixtures, Hyphenated(at));
    SendCommand(main.dialog, CMD_REFRESH);
    ClickColumn(0);
    ExpectSorted(0, false);
    ClickColumn(0);
    ExpectSorted(0, true);
}

TEST_F(ListSortTest, ADraggedHeaderStillSortsItsOwnColumn)
{
    // Show column 2 (style) first, then click the header where it now stands.
    int order[WINDOW_LIST_COLUMN_COUNT] = {2, 0, 1, 3, 4, 5, 6, 7};
    ASSERT_TRUE(SendMessageA(main.list, LVM_SETCOLUMNORDERARRAY, WINDOW_LIST_COLUMN_COUNT, (LPARAM)order));
    HWND header = (HWND)SendMessageA(main.list, LVM_GETHEADER, 0, 0);
    RECT item;
    ASSERT_TRUE(SendMessageA(header, HDM_GETITEMRECT, 2, (LPARAM)&item));
    EXPECT_EQ(0, item.left);  // it stands first
    LPARAM at = MAKELPARAM(item.left + 5, (item.top + item.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(2, main.state->sortColumn);
    EXPECT_EQ(1, main.state->sortAscending);
    ExpectSorted(2, true);
}

TEST_F(ListSortTest, AWindowNotListedHasNoRow)
{
    EXPECT_EQ(-1, FindListRowOfWindow(main.list, (HWND)(UINT_PTR)0x1234));
    EXPECT_EQ("sort alpha", CellText(main.list, FindListRowOfWindow(main.list, windows[1]), 0));
}

namespace {

// The row data of a list in row order.
std::vector<LPARAM> RowData(HWND list)
{
    std::vector<LPARAM> data;
    for (int i = 0; i < (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); ++i)
        data.push_back((LPARAM)GetListRowWindow(list, i));
    return data;
}

// A sorting list given the titles in `order`, each row's data telling which.
HWND SortedList(const std::vector<std::string>& titles, const std::vector<size_t>& order, std::vector<int>* landed)
{
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT | LVS_SORTASCENDING, 0, 0, 200, 200, NULL,
                                NULL, NULL, NULL);
    LVCOLUMNA column = {};
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, (LPARAM)&column);
    for (size_t i : order) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.pszText = (char*)titles[i].c_str();
        item.lParam = (LPARAM)(0x1000 + 4 * i);
        landed->push_back((int)SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item));
    }
    return list;
}

}  // namespace

// Equal titles, empty ones, Shift-JIS ("ア", "あ", a full-width space)
// and mixed case, in an order that makes every kind of tie come up.
const std::vector<std::string> TRICKY_TITLES = {
    "b", "A", "a", "B", "", "\x83\x41", "\x82\xa0", "a", "", "_x", "[y", "~z", "a b", "ab", "Ab",
    "-a", "'a", "1", "10", "9", "\x83\x41", "B", "abc", "ABC", "\x81\x40", " ", "ｱ", "ア", "b",
    Hyphenated(260), Hyphenated(270)};

TEST(SortedInsertionTest, TheRefreshsOrderOfInsertionGivesTheControlsOwnOrderAndLandsInFront)
{
    std::vector<size_t> enumerated(TRICKY_TITLES.size());
    std::iota(enumerated.begin(), enumerated.end(), 0);
    std::vector<int> landed, landedInFront;
    HWND control = SortedList(TRICKY_TITLES, enumerated, &landed);
    HWND ours = SortedList(TRICKY_TITLES, OrderForSortedInsertion(TRICKY_TITLES), &landed);
    EXPECT_EQ(RowData(control), RowData(ours));
    // Titles that differ even ignoring case each land in front of the rest.
    const std::vector<std::string> distinct = {"delta", "Alpha", "charlie", "Bravo", "echo"};
    HWND fed = SortedList(distinct, OrderForSortedInsertion(distinct), &landedInFront);
    EXPECT_EQ(std::vector<int>(distinct.size(), 0), landedInFront);
    for (HWND list : {control, ours, fed})
        DestroyWindow(list);
}

TEST(CollationKeyTest, KeysComparedWholeOrderAsLstrcmpiDoesInTheThreadsLocaleWhateverItsCodePage)
{
    // The titles are Shift-JIS in every locale, whose own code page may be
    // another (English, Russian, Chinese formats with Japanese for programs
    // that are not Unicode). Lithuanian puts "y" before "j", traditional
    // Spanish "ch" after "cz", Danish "aa" after "z". "ア" and "ヂ" made
    // equal keys when read in the locale's own code page.
    std::vector<std::string> titles = TRICKY_TITLES;
    for (const char* title : {"y", "j", "ch", "cz", "aa", "z", "ソフト", "アイ", "ア", "ヂ", "ｿﾌﾄ", "標準", "最大化",
                              "最小化", "○", "×", "表ソ", "Ａ", "ａ"})
        titles.push_back(title);
    auto sign = [](int r) { return (r > 0) - (r < 0); };
    struct Restore { LCID locale; ~Restore() { SetThreadLocale(locale); } } original = {GetThreadLocale()};
    for (LCID locale : {(LCID)0x0411, (LCID)0x0409, (LCID)0x0419, (LCID)0x0804, (LCID)0x0427, (LCID)0x040a,
                        (LCID)0x0406}) {
        SetThreadLocale(locale);
        std::vector<std::string> keys(titles.size());
        for (size_t i = 0; i < keys.size(); ++i)
            ASSERT_TRUE(MakeCollationKey(titles[i].c_str(), &keys[i]));
        for (size_t i = 0; i < keys.size(); ++i) {
            for (size_t j = 0; j < keys.size(); ++j) {
                EXPECT_EQ(sign(lstrcmpiA(titles[i].c_str(), titles[j].c_str())),
                          sign(CompareCollationKeys(keys[i], keys[j])))
                    << std::hex << locale << std::dec << " " << i << " " << j;
            }
        }
    }
    // Past a zero byte, and a key that is the start of another comes first.
    const std::string a("\x0e\x02\x00\x05", 4), b("\x0e\x02\x00\x06", 4), start("\x0e\x02\x00", 3);
    EXPECT_LT(CompareCollationKeys(a, b), 0);
    EXPECT_LT(CompareCollationKeys(start, a), 0);
    EXPECT_GT(CompareCollationKeys(a, start), 0);
}
