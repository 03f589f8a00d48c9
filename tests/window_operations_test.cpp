#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <string.h>

#include <string>
#include <vector>

#include "app/geometry.h"
#include "app/sjis_text.h"
#include "catalogue/list_sort.h"
#include "catalogue/window_list.h"
#include "operations/bounded_changes.h"
#include "operations/undo_history.h"
#include "operations/window_commands.h"
#include "resources/resource_ids.h"
#include "tests/dialog_harness.h"
#include "tests/fixture_windows.h"

class WindowOperationsTest : public MainDialogWithFixtures {
protected:
    void SetUp() override
    {
        MainDialogWithFixtures::SetUp();
        undoMenu = GetSubMenu(GetMenu(main.dialog), UNDO_MENU_POSITION);
    }
    // `count` hidden windows titled prefix + number, then listed.
    std::vector<HWND> Fixtures(const std::string& prefix, int count)
    {
        std::vector<HWND> windows;
        for (int i = 0; i < count; ++i)
            windows.push_back(CreateTitledFixture(fixtures, prefix + std::to_string(i), Hidden));
        SendCommand(main.dialog, CMD_REFRESH);
        return windows;
    }
    // Chooses a command for `window` as the user would: select its row, open
    // a menu, choose the item.
    void Command(HWND window, UINT id)
    {
        ASSERT_GE(SelectListRowOfWindow(main.list, window), 0);
        OpenAnyMenu();
        SendCommand(main.dialog, id);
    }
    void OpenAnyMenu() { InitMenuPopup(main.dialog, GetSubMenu(GetMenu(main.dialog), 0)); }
    // The Undo menu as "id:text" items, after it has been brought up to date.
    std::vector<std::string> UndoItems()
    {
        InitMenuPopup(main.dialog, undoMenu);
        std::vector<std::string> items;
        for (int i = 0; i < GetMenuItemCount(undoMenu); ++i)
            items.push_back(std::to_string(GetMenuItemID(undoMenu, i)) + ":" + MenuText(undoMenu, i, MF_BYPOSITION));
        return items;
    }
    std::string Entry(UINT id, const char* caption, const std::string& title)
    {
        return std::to_string(id) + ":" + caption + "-VantoraFixture-" + title;
    }
    void OnFixtureThread(const std::function<void()>& work) { RunOnFixtureThread(fixtures, work); }
    HMENU undoMenu = NULL;
};

TEST_F(WindowOperationsTest, TogglesInvertTheRealStateAndChangeNothingElse)
{
    // A hidden window is shown without activation; the topmost state changes
    // the z-order only, without even WM_WINDOWPOSCHANGING.
    struct Case { UINT command; void (*adjust)(FixtureSpec*); int column; bool WindowState::*flag; };
    const Case cases[] = {{CMD_ENABLE, nullptr, 6, &WindowState::enabled},
                          {CMD_VISIBLE, Hidden, 5, &WindowState::visible},
                          {CMD_TOPMOST, nullptr, 7, &WindowState::topmost}};
    for (const Case& c : cases) {
        HWND window = Fixture("toggled", c.adjust);
        HWND other = Fixture("above it");
        WindowState before = ReadWindowState(window, other), expected = before;
        ResetFixtureLog(window);
        Command(window, c.command);
        expected.*c.flag = !(before.*c.flag);
        expected.aboveOther = c.command != CMD_ENABLE;  // and stays so; a window shown comes up
        EXPECT_EQ(expected, ReadWindowState(window, other)) << c.command;
        EXPECT_EQ(before.*c.flag ? "×" : "○", CellText(main.list, FindListRowOfWindow(main.list, window), c.column));
        Command(window, c.command);
        expected.*c.flag = before.*c.flag;
        PumpMessagesFor(30);
        EXPECT_EQ(expected, ReadWindowState(window, other)) << c.command;
        FixtureLog* log = GetFixtureLog(window);
        EXPECT_EQ(0, log->activations) << c.command;
        if (c.command == CMD_TOPMOST)
            EXPECT_EQ(0, log->moves + log->sizes + log->posChanging);
    }
    // The state is read anew, not taken from the list.
    HWND window = Fixture("changed behind our back");
    OnFixtureThread([window] { EnableWindow(window, FALSE); });
    Command(window, CMD_ENABLE);
    EXPECT_TRUE(IsWindowEnabled(window));
}

TEST_F(WindowOperationsTest, ActivateRestoresAMinimisedWindowThenBringsItUp)
{
    HWND window = Fixture("minimised target", Minimised);
    ASSERT_TRUE(IsIconic(window));
    Command(window, CMD_ACTIVATE);
    PumpMessagesFor(50);
    EXPECT_FALSE(IsIconic(window));
    EXPECT_EQ(window, GetForegroundWindow());

    HWND maximised = Fixture("maximised target", Maximised);
    Command(maximised, CMD_ACTIVATE);
    PumpMessagesFor(50);
    EXPECT_TRUE(IsZoomed(maximised));  // not shown in another state
    EXPECT_EQ(maximised, GetForegroundWindow());
}

TEST_F(WindowOperationsTest, CloseIsPostedAndTheListFollows)
{
    struct Case { const char* title; void (*adjust)(FixtureSpec*); bool listed; };
    const Case cases[] = {{"closes at once", nullptr, false},
                          {"closes after a moment", ClosesAfterAMoment, false},  // within the pause
                          {"refuses to close", RefusesClose, true}};
    HWND window = NULL;
    for (const Case& c : cases) {
        window = Fixture(c.title, c.adjust);
        Command(window, CMD_CLOSE);
        EXPECT_EQ(c.listed, IsWindow(window) != FALSE) << c.title;
        EXPECT_EQ(c.listed, FindListRowOfWindow(main.list, window) >= 0) << c.title;
    }
    EXPECT_EQ(1, GetFixtureLog(window)->closeRequests);
    // Neither closing nor activating is recorded for undo.
    Command(window, CMD_ACTIVATE);
    EXPECT_EQ(std::vector<std::string>{"40010:(なし)"}, UndoItems());
    EXPECT_EQ(0, main.state->undoHistory.count);
}

TEST_F(WindowOperationsTest, AToggleOfOneOfOurOwnWindowsShowsAtOnce)
{
    // Its changes need this very thread to answer while the command waits.
    HWND own = CreateWindowExA(0, "STATIC", "our own", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    SendCommand(main.dialog, CMD_REFRESH);
    Command(own, CMD_ENABLE);
    EXPECT_FALSE(IsWindowEnabled(own));
    EXPECT_EQ("×", CellText(main.list, FindListRowOfWindow(main.list, own), 6));
    DestroyWindow(own);
}

TEST_F(WindowOperationsTest, ChangesToAHungWindowWaitInOrderStayUndoableAndShowOnceItAnswers)
{
    HungWindow hung;
    ASSERT_TRUE(StartHungWindow(&hung, "hung-target"));
    HWND answering = Fixture("answers meanwhile");
    auto returnsWhileHung = [&](const std::function<void()>& command) { return ReturnsWhileHung(&hung, command); };
    for (UINT id : {CMD_VISIBLE, CMD_VISIBLE, CMD_ENABLE, CMD_TOPMOST, CMD_ACTIVATE, CMD_REFRESH})
        EXPECT_TRUE(returnsWhileHung([&] { Command(hung.window, id); })) << id;
    // Every toggle stays listed while its change waits, though the window has
    // not changed yet. Undoing the first hide queues a show behind the rest.
    ASSERT_EQ(4u, UndoItems().size());
    EXPECT_TRUE(returnsWhileHung([&] { SendCommand(main.dialog, CMD_UNDO_FIRST); }));
    char renamed[] = "renamed while hung";
    NMLVDISPINFOA info = EndOfEdit(main, hung.window, renamed);
    EXPECT_TRUE(returnsWhileHung([&] { Notify(main, &info.hdr); }));
    WhenDialogOpens(main.dialog, [](HWND properties) {
        SetDlgItemTextA(properties, IDC_PROP_TITLE, "retitled while hung");
        ClickButton(properties, IDOK);
    });
    ASSERT_GE(SelectListRowOfWindow(main.list, hung.window), 0);
    EXPECT_TRUE(returnsWhileHung([&] { SendCommand(main.dialog, CMD_PROPERTIES); }));
    EXPECT_EQ(1, DialogsSeen());
    EXPECT_EQ(1, WindowChangeThreads());  // one waiting thread, however many changes
    // The check marks show the state the toggles will act on.
    HMENU windowMenu = GetSubMenu(GetMenu(main.dialog), 0);
    InitMenuPopup(main.dialog, windowMenu);
    EXPECT_TRUE(MenuState(windowMenu, CMD_TOPMOST) & MF_CHECKED);
    EXPECT_FALSE(MenuState(windowMenu, CMD_ENABLE) & MF_CHECKED);
    Command(answering, CMD_ENABLE);       // another window is changed at once meanwhile
    EXPECT_FALSE(IsWindowEnabled(answering));
    EXPECT_TRUE(StillHung(&hung));

    SetEvent(hung.release);
    for (int i = 0; i < 100 && PendingWindowChanges() > 0; ++i)
        PumpMessagesFor(20);
    PumpMessagesFor(50);  // the refresh the last change asked for
    EXPECT_EQ(0, PendingWindowChanges());
    EXPECT_EQ("retitled while hung", WindowText(hung.window));  // in the order asked
    EXPECT_FALSE(IsWindowEnabled(hung.window));
    EXPECT_TRUE(IsTopmost(hung.window));
    EXPECT_TRUE(IsWindowVisible(hung.window));  // hidden, shown, and shown by the undo
    int row = FindListRowOfWindow(main.list, hung.window);
    EXPECT_EQ("retitled while hung|×", CellText(main.list, row, 0) + "|" + CellText(main.list, row, 6));
    // Made, the entries follow the usual rule: the second hide's (a show),
    // the enable and topmost ones (and the other window's) still apply.
    std::vector<std::string> items = UndoItems();
    ASSERT_EQ(4u, items.size());
    EXPECT_EQ(0u, items[0].find(std::to_string(CMD_UNDO_FIRST + 1) + ":可視"));

    // Closing posts and never waits.
    ASSERT_TRUE(StartHungWindow(&hung, "hung-close"));
    SendCommand(main.dialog, CMD_REFRESH);
    EXPECT_TRUE(returnsWhileHung([&] { Command(hung.window, CMD_CLOSE); }));
}

TEST_F(WindowOperationsTest, EachLateChangeAloneIsShownOnceItLands)
{
    char renamed[] = "renamed late";
    const struct { UINT id; int column; const char* shown; } cases[] = {
        {CMD_ENABLE, 6, "×"}, {CMD_VISIBLE, 5, "×"}, {CMD_TOPMOST, 7, "○"}, {CMD_RENAME, 0, renamed}};
    for (const auto& c : cases) {
        HungWindow hung;
        ASSERT_TRUE(StartHungWindow(&hung, "hung-late"));
        SendCommand(main.dialog, CMD_REFRESH);
        NMLVDISPINFOA info = EndOfEdit(main, hung.window, renamed);
        EXPECT_TRUE(ReturnsWhileHung(&hung, [&] {
            if (c.id == CMD_RENAME)
                Notify(main, &info.hdr);
            else
                Command(hung.window, c.id);
        }));
        SetEvent(hung.release);  // no refresh asked for from here on
        std::string cell;
        for (int i = 0; i < 100 && cell != c.shown; ++i) {
            PumpMessagesFor(20);
            cell = CellText(main.list, FindListRowOfWindow(main.list, hung.window), c.column);
        }
        EXPECT_EQ(c.shown, cell) << c.id;
    }
}

TEST_F(WindowOperationsTest, UndoRestoresItsWindowAloneAndLeavesTheRedoEntry)
{
    struct Case { UINT command; const char* caption; bool WindowState::*flag; int column; };
    const Case cases[] = {{CMD_ENABLE, "使用可能(&E)", &WindowState::enabled, 6},
                          {CMD_VISIBLE, "可視(&V)", &WindowState::visible, 5},
                          {CMD_TOPMOST, "最前面(&T)", &WindowState::topmost, 7}};
    for (const Case& c : cases) {
        HWND a = Fixture("window a"), b = Fixture("window b");
        WindowState aBefore = ReadWindowState(a, b);
        Command(a, c.command);
        Command(b, c.command);
        WindowState bChanged = ReadWindowState(b);
        SendCommand(main.dialog, CMD_UNDO_FIRST);
        aBefore.aboveOther = c.command == CMD_VISIBLE;  // shown, it comes up (b stays topmost)
        EXPECT_EQ(aBefore, ReadWindowState(a, b)) << c.caption;
        EXPECT_EQ(bChanged, ReadWindowState(b)) << c.caption;
        EXPECT_EQ(aBefore.*c.flag ? "○" : "×", CellText(main.list, FindListRowOfWindow(main.list, a), c.column));
        // The undone slot stays taken until the menu next opens, so the redo
        // entry gets the next free id.
        std::vector<std::string> expected = {Entry(CMD_UNDO_FIRST + 1, c.caption, "window b"),
                                             Entry(CMD_UNDO_FIRST + 2, c.caption, "window a")};
        EXPECT_EQ(expected, UndoItems());
        SendCommand(main.dialog, CMD_UNDO_FIRST + 2);  // redo
        EXPECT_NE(aBefore.*c.flag, ReadWindowState(a).*c.flag) << c.caption;
        DestroyFixtureWindow(fixtures, a);
        DestroyFixtureWindow(fixtures, b);
        ASSERT_EQ(1u, UndoItems().size());  // the placeholder: ids start afresh
    }
}

TEST_F(WindowOperationsTest, TogglingTwiceLeavesOnlyTheSecondEntry)
{
    HWND window = Fixture("twice");
    Command(window, CMD_VISIBLE);
    Command(window, CMD_VISIBLE);
    EXPECT_EQ(std::vector<std::string>{Entry(CMD_UNDO_FIRST + 1, "可視(&V)", "twice")}, UndoItems());
}

TEST_F(WindowOperationsTest, EntriesOfADestroyedWindowVanishAndFreeTheirIds)
{
    HWND window = Fixture("doomed");
    HWND other = Fixture("survivor");
    Command(window, CMD_ENABLE);
    Command(window, CMD_TOPMOST);
    ASSERT_EQ(2u, UndoItems().size());
    DestroyFixtureWindow(fixtures, window);
    // Twice: a second look must find the same, not count the gone entries again.
    for (int look = 0; look < 2; ++look) {
        EXPECT_EQ(std::vector<std::string>{"40010:（なし）"}, UndoItems());
        UINT state = GetMenuState(undoMenu, CMD_UNDO_NONE, MF_BYCOMMAND);
        EXPECT_TRUE(state & MF_GRAYED);
        EXPECT_TRUE(state & MF_DISABLED);
        EXPECT_EQ(0, main.state->undoHistory.count);
    }
    Command(other, CMD_VISIBLE);
    EXPECT_EQ(std::vector<std::string>{Entry(CMD_UNDO_FIRST, "可視(&V)", "survivor")}, UndoItems());
}

TEST_F(WindowOperationsTest, AFullHistoryEvictsTheUndoMenusFirstItemWhicheverSlotItHolds)
{
    // Two entries a window, disabled and then topmost, recorded as commands
    // record them (without their refreshes).
    auto record = [this](const std::vector<HWND>& windows, int entries) {
        for (int i = 0; i < entries; ++i) {
            if (i % 2 == 0)
                ApplyEnabled(main.dialog, &main.state->undoHistory, windows[i / 2], 0);
            else
                ApplyTopmost(main.dialog, &main.state->undoHistory, windows[i / 2], 1);
        }
    };
    // Slots 0 to 63 filled, then all freed but the last: slot 63 (id 32832) stands first.
    std::vector<HWND> old = Fixtures("old ", 32);
    record(old, 64);
    ASSERT_EQ(64u, UndoItems().size());
    for (int i = 0; i < 31; ++i)
        DestroyFixtureWindow(fixtures, old[i]);
    OnFixtureThread([&old] { EnableWindow(old[31], TRUE); });
    ASSERT_EQ(std::vector<std::string>{Entry(CMD_UNDO_LAST, "最前面(&T)", "old 31")}, UndoItems());
    std::vector<HWND> fresh = Fixtures("new ", 33);
    record(fresh, 63);
    ASSERT_EQ(64u, UndoItems().size());

    // Undoing slot 63 evicts that very slot to record the redo, and still
    // sets its own window back.
    SendCommand(main.dialog, CMD_UNDO_LAST);
    EXPECT_FALSE(IsTopmost(old[31]));
    std::vector<std::string> items = UndoItems();
    ASSERT_EQ(64u, items.size());
    EXPECT_EQ(Entry(CMD_UNDO_FIRST, "使用可能(&E)", "new 0"), items.front());
    EXPECT_EQ(Entry(CMD_UNDO_LAST, "最前面(&T)", "old 31"), items.back());
    // The next evicts the first item, slot 0, wherever slot 0 stands.
    Command(fresh[32], CMD_TOPMOST);
    items = UndoItems();
    EXPECT_EQ(Entry(CMD_UNDO_FIRST + 1, "最前面(&T)", "new 0"), items.front());
    EXPECT_EQ(Entry(CMD_UNDO_FIRST, "最前面(&T)", "new 32"), items.back());
    EXPECT_EQ(64, main.state->undoHistory.count);
}

TEST_F(WindowOperationsTest, WithNothingSelectedOrTheSelectedWindowGoneTheCommandsOnlyRefresh)
{
    // Nothing selected, or its window gone since a menu opened: nothing acts or
    // is recorded, no dialog opens; the window commands end with a fresh list.
    HWND bystander = Fixture("left alone", RefusesClose);
    WhenDialogOpens(main.dialog, [](HWND properties) { ClickButton(properties, IDCANCEL); });
    for (bool gone : {false, true}) {
        for (UINT id : {CMD_ENABLE, CMD_VISIBLE, CMD_TOPMOST, CMD_ACTIVATE, CMD_CLOSE, CMD_PROPERTIES}) {
            HWND window = Fixture("gone after selection");
            HWND late = CreateFixtureWindow(fixtures, FixtureSpec());  // appears only after a refresh
            SelectNothing(main.list);
            if (gone) {
                ASSERT_GE(SelectListRowOfWindow(main.list, window), 0);
                OpenAnyMenu();
                DestroyFixtureWindow(fixtures, window);
            }
            SendCommand(main.dialog, id);
            EXPECT_EQ(id != CMD_PROPERTIES, FindListRowOfWindow(main.list, late) >= 0) << id << " " << gone;
        }
    }
    StopWatchingForDialogs();
    EXPECT_EQ(0, DialogsSeen());
    EXPECT_EQ(0, main.state->undoHistory.count);
    EXPECT_TRUE(IsWindowEnabled(bystander) && IsWindowVisible(bystander) && !IsTopmost(bystander));
    EXPECT_EQ(0, GetFixtureLog(bystander)->closeRequests);
}

TEST_F(WindowOperationsTest, UndoIdsOfFreedOrUnusedSlotsChangeNothing)
{
    HWND window = Fixture("stale");
    Command(window, CMD_ENABLE);
    SendCommand(main.dialog, CMD_UNDO_FIRST);  // enabled again; the redo is slot 1
    ASSERT_EQ(2u, main.state->undoHistory.count);
    ASSERT_EQ(1u, UndoItems().size());  // slot 0 no longer applies and is freed
    // A menu shown before the pruning could still send slot 0's id.
    EXPECT_EQ(1, OnUndoCommand(main.dialog, CMD_UNDO_FIRST));
    EXPECT_EQ(1, OnUndoCommand(main.dialog, CMD_UNDO_FIRST + 40));
    EXPECT_EQ(1, OnUndoCommand(main.dialog, CMD_REFRESH));
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_EQ(1, main.state->undoHistory.count);
    EXPECT_EQ(std::vector<std::string>{Entry(CMD_UNDO_FIRST + 1, "使用可能(&E)", "stale")}, UndoItems());
}

TEST_F(WindowOperationsTest, LongTitlesAreCutToFitTheItemOnACharacterBoundary)
{
    std::string title;
    for (int i = 0; i < 200; ++i)
        title += "表";
    HWND window = Fixture(title);
    Command(window, CMD_VISIBLE);
    std::string text = MenuText(undoMenu, CMD_UNDO_FIRST);
    EXPECT_LE(text.size(), 260u);
    EXPECT_EQ(0u, text.find("可視(&V)-VantoraFixture-表表"));
    EXPECT_NE(SJIS_LEAD, SjisByteKind(text.c_str(), text.size() - 1));
}

TEST(UndoTextTest, ComposedTextFitsAnyBufferWithoutSplittingCharacters)
{
    std::string longClass(300, 'C');
    std::string title = "ア表ソ";
    for (size_t size = 1; size < 40; ++size) {
        char text[64];
        memset(text, 'x', sizeof(text));
        ComposeUndoItemText(text, size, "可視(&V)", "Cls", title.c_str());
        ASSERT_LT(strlen(text), size);
        std::string full = "可視(&V)-Cls-" + title;
        EXPECT_EQ(0, full.compare(0, strlen(text), text)) << size;
        EXPECT_NE(SJIS_TRAIL, SjisByteKind(full.c_str(), strlen(text))) << size;
    }
    char untouched[2] = {'x', 'x'};
    ComposeUndoItemText(untouched, 0, "可視(&V)", "Cls", title.c_str());
    EXPECT_EQ('x', untouched[0]);
    char text[261];
    ComposeUndoItemText(text, sizeof(text), "最前面(&T)", longClass.c_str(), title.c_str());
    EXPECT_EQ(260u, strlen(text));
}
