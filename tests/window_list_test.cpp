#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <stdio.h>

#include <functional>
#include <vector>

#include "app/geometry.h"
#include "catalogue/list_sort.h"
#include "catalogue/window_list.h"
#include "resources/resource_ids.h"
#include "tests/dialog_harness.h"
#include "tests/fixture_windows.h"

namespace {

std::string Hex(DWORD value)
{
    char text[16];
    snprintf(text, sizeof(text), "%08x", (unsigned)value);
    return text;
}

// The eight cells a window's row must hold, computed from the window itself.
std::string ExpectedRow(HWND window, const std::string& title, const char* showState)
{
    return title + "|VantoraFixture|" + Hex(GetWindowLongA(window, GWL_STYLE)) + "|" +
           Hex(GetWindowLongA(window, GWL_EXSTYLE)) + "|" + showState + "|" +
           (IsWindowVisible(window) ? "○" : "×") + "|" + (IsWindowEnabled(window) ? "○" : "×") + "|" +
           ((GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? "○" : "×");
}

}  // namespace

class WindowListTest : public ::testing::Test {
protected:
    static void TearDownTestSuite() { CloseSharedMainDialog(); }
    void SetUp() override { fixtures = StartFixtureThread(); }
    void TearDown() override { StopFixtureThread(fixtures); }
    HWND Fixture(const std::string& title, void (*adjust)(FixtureSpec*) = nullptr)
    {
        return CreateTitledFixture(fixtures, title, adjust);
    }
    // The list of the fixtures made so far, with these filters.
    void Open(bool invisible = true, bool minimized = true, bool disabled = true)
    {
        main = UseSharedMainDialog();
        ASSERT_NE(nullptr, main.dialog);
        if (invisible && minimized && disabled)
            return;
        main.state->showInvisible = invisible;
        main.state->showMinimized = minimized;
        main.state->showDisabled = disabled;
        SendCommand(main.dialog, CMD_REFRESH);
    }
    FixtureThread* fixtures = nullptr;
    MainDialog main = {};
};

TEST_F(WindowListTest, EachFixtureRowHoldsItsEightCells)
{
    HWND visible = Fixture("可視の窓");
    HWND hidden = Fixture("hidden", Hidden);
    HWND disabled = Fixture("disabled", Disabled);
    HWND minimised = Fixture("minimised", Minimised);
    HWND maximised = Fixture("maximised", Maximised);
    HWND topmost = Fixture("topmost", Topmost);
    HWND tool = Fixture("tool", [](FixtureSpec* s) { s->exStyle = WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT; });
    Open();

    struct Case { HWND window; const char* title; const char* state; const char* flags; };
    const Case cases[] = {
        {visible, "可視の窓", "標準", "○|○|×"},   {hidden, "hidden", "標準", "×|○|×"},
        {disabled, "disabled", "標準", "○|×|×"},  {minimised, "minimised", "最小化", "○|○|×"},
        {maximised, "maximised", "最大化", "○|○|×"}, {topmost, "topmost", "標準", "○|○|○"},
        {tool, "tool", "標準", "○|○|×"},  // an extended style with hex letters
    };
    ASSERT_EQ(0xa0u, GetWindowLongA(tool, GWL_EXSTYLE) & 0xf0u);
    for (const Case& c : cases) {
        int row = FindListRowOfWindow(main.list, c.window);
        ASSERT_GE(row, 0) << c.title;
        std::string texts = RowTexts(main.list, row);
        EXPECT_EQ(ExpectedRow(c.window, c.title, c.state), texts);
        EXPECT_EQ(std::string(c.flags), texts.substr(texts.size() - std::string(c.flags).size())) << c.title;
    }
}

TEST_F(WindowListTest, RowsShowTheirOwnSmallIconOrNone)
{
    HWND plain = Fixture("no icon");
    HWND classIcon = Fixture("class icon", [](FixtureSpec* s) { s->classSmallIcon = true; });
    HWND ownIcon = Fixture("own icon", [](FixtureSpec* s) { s->ownSmallIcon = true; });
    HWND sameClass = Fixture("class icon too", [](FixtureSpec* s) { s->classSmallIcon = true; });
    HWND both = Fixture("both icons", [](FixtureSpec* s) { s->classSmallIcon = s->ownSmallIcon = true; });
    Open();
    HIMAGELIST images = (HIMAGELIST)SendMessageA(main.list, LVM_GETIMAGELIST, LVSIL_SMALL, 0);
    ASSERT_NE(nullptr, images);
    EXPECT_EQ(-1, RowImage(main.list, FindListRowOfWindow(main.list, plain)));
    int classImage = RowImage(main.list, FindListRowOfWindow(main.list, classIcon));
    int ownImage = RowImage(main.list, FindListRowOfWindow(main.list, ownIcon));
    EXPECT_GE(classImage, 0);
    EXPECT_GE(ownImage, 0);
    EXPECT_NE(classImage, ownImage);
    EXPECT_EQ(ownImage, RowImage(main.list, FindListRowOfWindow(main.list, both)));  // its own before its class's
    // One icon shared by two windows is copied once and shown on both rows.
    EXPECT_EQ(classImage, RowImage(main.list, FindListRowOfWindow(main.list, sameClass)));
    EXPECT_LT(classImage, ImageList_GetImageCount(images));
    EXPECT_LT(ownImage, ImageList_GetImageCount(images));
}

TEST_F(WindowListTest, ColumnsHaveTheirCaptionsAndWidthsAtTheScreensDpi)
{
    Open();
    ASSERT_EQ(TestDpi(), GetScreenDpi());
    // Caption, width at 96 and at 144 DPI, and whether it reads whole (its
    // text and the header's 12 pixels of margin fit) at both.
    struct Case { const char* caption; int at96, at144; bool whole; };
    const Case cases[] = {
        {"タイトル", 100, 150, true}, {"クラス名", 100, 150, true}, {"スタイル", 65, 98, true},
        {"拡張スタイル", 65, 98, false}, {"表示状態", 50, 75, false}, {"可視", 25, 38, false},
        {"使用可能", 25, 38, false}, {"最前面", 25, 38, false},
    };
    for (int i = 0; i < 8; ++i) {
        wchar_t text[64] = L"";
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = text;
        column.cchTextMax = 64;
        ASSERT_TRUE(SendMessageW(main.list, LVM_GETCOLUMNW, i, (LPARAM)&column));
        EXPECT_EQ(cases[i].caption, Cp932(text));
        EXPECT_EQ(AtTestDpi(cases[i].at96, cases[i].at144), column.cx);
        EXPECT_EQ(i, column.iSubItem);
        if (cases[i].whole)
            EXPECT_LE(SendMessageW(main.list, LVM_GETSTRINGWIDTHW, 0, (LPARAM)text) + 12, column.cx) << i;
    }
    int cx = 0, cy = 0;
    ImageList_GetIconSize((HIMAGELIST)SendMessageA(main.list, LVM_GETIMAGELIST, LVSIL_SMALL, 0), &cx, &cy);
    EXPECT_EQ(AtTestDpi(16, 24), cx);
    EXPECT_EQ(AtTestDpi(16, 24), cy);
    DWORD ex = (DWORD)SendMessageA(main.list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_EQ((DWORD)(LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT), ex & 0x30);
}

TEST_F(WindowListTest, FiltersLeaveOutTheirWindowsAndNeverListTheDialog)
{
    HWND hidden = Fixture("hidden", Hidden);
    HWND minimised = Fixture("minimised", Minimised);
    HWND disabled = Fixture("disabled", Disabled);
    HWND hiddenMinimised = Fixture("hidden+minimised", Minimised);
    RunOnFixtureThread(fixtures, [hiddenMinimised] { ShowWindow(hiddenMinimised, SW_HIDE); });
    HWND plain = Fixture("plain");

    struct Case { bool invisible, minimized, disabled; bool listed[5]; };
    const Case cases[] = {
        {true, true, true, {true, true, true, true, true}},
        {false, true, true, {false, true, true, false, true}},
        {true, false, true, {true, false, true, false, true}},
        {true, true, false, {true, true, false, true, true}},
        {false, false, false, {false, false, false, false, true}},
    };
    const HWND windows[] = {hidden, minimised, disabled, hiddenMinimised, plain};
    for (const Case& c : cases) {
        Open(c.invisible, c.minimized, c.disabled);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(c.listed[i], FindListRowOfWindow(main.list, windows[i]) >= 0)
                << "window " << i << " filters " << c.invisible << c.minimized << c.disabled;
        EXPECT_LT(FindListRowOfWindow(main.list, main.dialog), 0);
        char expected[64];
        snprintf(expected, sizeof(expected), "%d 個のｳｨﾝﾄﾞｳ", RowCount(main.list));
        EXPECT_EQ(std::string(expected), StatusText(main.dialog));
    }
}

TEST_F(WindowListTest, SelectionFollowsItsWindowAcrossARefreshOrFallsBackToTheFirstRow)
{
    // More rows than a page, the selected one last: below the fold.
    for (int i = 10; i < 40; ++i)
        Fixture("selection fill " + std::to_string(i));
    HWND second = Fixture("zzz selection second"), doomed = Fixture("selection doomed");
    Open();
    SelectListRowOfWindow(main.list, second);
    SendMessageA(main.list, LVM_ENSUREVISIBLE, 0, 0);  // the user scrolled back up
    SendCommand(main.dialog, CMD_REFRESH);
    EXPECT_EQ(second, GetSelectedListWindow(main.list));
    int row = FindListRowOfWindow(main.list, second);
    EXPECT_EQ(LVIS_FOCUSED | LVIS_SELECTED,
              (UINT)SendMessageA(main.list, LVM_GETITEMSTATE, row, LVIS_FOCUSED | LVIS_SELECTED));
    int top = (int)SendMessageA(main.list, LVM_GETTOPINDEX, 0, 0);
    EXPECT_GT(row, (int)SendMessageA(main.list, LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_TRUE(row >= top && row < top + (int)SendMessageA(main.list, LVM_GETCOUNTPERPAGE, 0, 0)) << row << " " << top;
    SelectListRowOfWindow(main.list, doomed);
    DestroyFixtureWindow(fixtures, doomed);
    EXPECT_EQ(nullptr, GetSelectedListWindow(main.list));
    SendCommand(main.dialog, CMD_REFRESH);
    EXPECT_LT(FindListRowOfWindow(main.list, doomed), 0);
    // The first row in insertion order is the first by title; sorting by
    // title ascending keeps it first, and in view.
    EXPECT_EQ(0, GetSelectedListIndex(main.list));
    EXPECT_EQ(0, SendMessageA(main.list, LVM_GETTOPINDEX, 0, 0));
    EXPECT_EQ(1, SendMessageA(main.list, LVM_GETSELECTEDCOUNT, 0, 0));
}

TEST_F(WindowListTest, ABusyThreadIsAskedForOneIconPerRefreshNotOnePerWindowAndAgainAtTheNext)
{
    // The thread sits on every WM_GETICON. Asked without a bound, or asked
    // again for each of its windows, it would be asked 30 times (and the
    // refresh would wait for each).
    std::vector<HWND> busy;
    for (int i = 0; i < 30; ++i)
        busy.push_back(Fixture("busy", [](FixtureSpec* s) { s->slowIcon = s->ownSmallIcon = true; }));
    Open();
    ReleaseSlowIcons();
    // Busy once is not busy for ever: the next refresh asks each window.
    for (int expected : {1, 31}) {
        int queries = 0, rows = 0, icons = 0;
        for (HWND window : busy)
            queries += GetFixtureLog(window)->iconQueries;
        for (int row = 0; row < RowCount(main.list); ++row) {
            rows += CellText(main.list, row, 0) == "busy";
            icons += CellText(main.list, row, 0) == "busy" && RowImage(main.list, row) >= 0;
        }
        EXPECT_EQ(expected, queries);
        EXPECT_EQ(30, rows);
        EXPECT_EQ(expected == 1 ? 0 : 30, icons);
        SendCommand(main.dialog, CMD_REFRESH);
    }
}

TEST_F(WindowListTest, ImageListStaysFlatOverRefreshes)
{
    for (int i = 0; i < 5; ++i)
        Fixture("icon " + std::to_string(i), [](FixtureSpec* s) { s->classSmallIcon = true; });
    HWND own = Fixture("own icon", [](FixtureSpec* s) { s->ownSmallIcon = true; });
    Open();
    HIMAGELIST images = (HIMAGELIST)SendMessageA(main.list, LVM_GETIMAGELIST, LVSIL_SMALL, 0);
    int once = ImageList_GetImageCount(images);
    EXPECT_GE(once, 2);
    for (int i = 0; i < 2; ++i)
        SendCommand(main.dialog, CMD_REFRESH);
    EXPECT_EQ(once, ImageList_GetImageCount(images));
    EXPECT_LT(RowImage(main.list, FindListRowOfWindow(main.list, own)), once);
}

namespace {
WNDPROC listProc;
int framePaints;
LRESULT CALLBACK CountFramePaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The region to paint is in screen coordinates; 1 stands for all of it.
    RECT outer;
    GetWindowRect(window, &outer);
    framePaints += message == WM_NCPAINT && (wParam == 1 || PtInRegion((HRGN)wParam, outer.left, outer.top));
    return CallWindowProcA(listProc, window, message, wParam, lParam);
}
}  // namespace

TEST_F(WindowListTest, ARefreshRepaintsTheRowsInViewThatChangedOrAllWhenRowsComeOrGo)
{
    // Visible windows only, all ours. Fillers put the changing one in the
    // row shown in part at the bottom; the last one made sorts after them
    // all, out of view.
    HWND twin = Fixture("b twin"), otherTwin = Fixture("b twin"), steady = Fixture("c steady");
    HWND changing = Fixture("d changing", [](FixtureSpec* s) { s->ownSmallIcon = true; });
    Open(false);
    int fit = (int)SendMessageA(main.list, LVM_GETCOUNTPERPAGE, 0, 0);
    for (int i = FindListRowOfWindow(main.list, changing); i < fit; ++i)
        Fixture("a fill " + std::to_string(10 + i));
    auto raise = [&](HWND w) {
        RunOnFixtureThread(fixtures,
                           [w] { SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); });
    };
    raise(twin);
    listProc = (WNDPROC)SetWindowLongPtrA(main.list, GWLP_WNDPROC, (LONG_PTR)CountFramePaints);
    SelectListRowOfWindow(main.list, twin);
    SendCommand(main.dialog, CMD_REFRESH);
    ASSERT_EQ(fit, FindListRowOfWindow(main.list, changing));
    // Whether the rows of these windows are to be painted (where they show).
    struct Case { const char* change; std::function<void()> make; bool changingRow, steadyRow, twinRows; };
    const Case cases[] = {
        {"none", [] {}, false, false, false},
        {"disabled", [&] { RunOnFixtureThread(fixtures, [&] { EnableWindow(changing, FALSE); }); }, true, false, false},
        {"icon", [&] { SendMessageA(changing, WM_SETICON, ICON_SMALL, (LPARAM)FixtureSmallIcon()); }, true, false, false},
        {"the selected twin's row", [&] { raise(otherTwin); }, false, false, true},  // the twins swap rows
        {"a row more", [&] { Fixture("zzz repaint"); }, true, true, true}};
    for (const Case& c : cases) {
        PumpMessagesFor(30);
        ValidateRect(main.list, NULL);
        int twinRow = FindListRowOfWindow(main.list, twin);
        c.make();
        SendCommand(main.dialog, CMD_REFRESH);
        HRGN pending = CreateRectRgn(0, 0, 0, 0);
        GetUpdateRgn(main.list, pending, FALSE);
        auto toPaint = [&](HWND window) {
            RECT row = {LVIR_BOUNDS};
            SendMessageA(main.list, LVM_GETITEMRECT, FindListRowOfWindow(main.list, window), (LPARAM)&row);
            return PtInRegion(pending, (row.left + row.right) / 2, row.top + 1) != FALSE;
        };
        EXPECT_EQ(c.changingRow, toPaint(changing)) << c.change;
        EXPECT_EQ(c.steadyRow, toPaint(steady)) << c.change;
        EXPECT_EQ(c.twinRows, toPaint(twin) && toPaint(otherTwin)) << c.change;
        EXPECT_EQ(c.twinRows && !c.steadyRow, twinRow != FindListRowOfWindow(main.list, twin)) << c.change;
        DeleteObject(pending);
        // The whole list is its frame and scroll bars too.
        framePaints = 0;
        UpdateWindow(main.list);
        EXPECT_EQ(c.steadyRow, framePaints > 0) << c.change;
    }
    SetWindowLongPtrA(main.list, GWLP_WNDPROC, (LONG_PTR)listProc);
}

TEST_F(WindowListTest, UnknownShowStateGivesAnEmptyCell)
{
    WindowSnapshot* snapshot = new WindowSnapshot();
    char buffer[16];
    snapshot->showCmd = 0;
    EXPECT_STREQ("", FormatListCell(snapshot, 4, buffer, sizeof(buffer)));
    snapshot->showCmd = 7;
    EXPECT_STREQ("", FormatListCell(snapshot, 4, buffer, sizeof(buffer)));
    snapshot->style = 0x90CF0040;
    EXPECT_STREQ("90cf0040", FormatListCell(snapshot, 2, buffer, sizeof(buffer)));
    delete snapshot;
}
