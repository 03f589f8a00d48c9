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
    // `count` visible windows titled prefix + number, then listed.
    std::vector<HWND> Fixtures(const std::string& prefix, int count)
    {
        std::vector<HWND> windows;
        for (int i = 0; i < count; ++i) {
            FixtureSpec wanted;
            wanted.title = prefix + std::to_string(i);
            windows.push_back(CreateFixtureWindow(fixtures, wanted));
        }
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

TEST_F(WindowOperationsTest, TogglesInvertTheWindowsRealState)
{
    HWND window = Fixture("toggled");
    Command(window, CMD_ENABLE);
    EXPECT_FALSE(IsWindowEnabled(window));
    Command(window, CMD_ENABLE);
    EXPECT_TRUE(IsWindowEnabled(window));
    Command(window, CMD_VISIBLE);
    EXPECT_FALSE(IsWindowVisible(window));
    Command(window, CMD_VISIBLE);
    EXPECT_TRUE(IsWindowVisible(window));
    Command(window, CMD_TOPMOST);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    Command(window, CMD_TOPMOST);
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // The rebuilt row shows the new state.
    EXPECT_EQ("○", CellText(main.list, FindListRowOfWindow(main.list, window), 6));
}

TEST_F(WindowOperationsTest, ToggleReadsTheStateAnewNotTheList)
{
    HWND window = Fixture("changed behind our back");
    ASSERT_EQ("○", CellText(main.list, FindListRowOfWindow(main.list, window), 6));
    OnFixtureThread([window] { EnableWindow(window, FALSE); });  // the list still says enabled
    Command(window, CMD_ENABLE);
    EXPECT_TRUE(IsWindowEnabled(window));
}

TEST_F(WindowOperationsTest, ShowingAHiddenWindowDoesNotActivateIt)
{
    HWND window = Fixture("shown quietly", Hidden);
    ResetFixtureLog(window);
    Command(window, CMD_VISIBLE);
    PumpMessagesFor(30);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(0, GetFixtureLog(window)->activations);
    EXPECT_NE(window, GetForegroundWindow());
}

TEST_F(WindowOperationsTest, TopmostNeitherMovesResizesNorActivates)
{
    HWND window = Fixture("z-order only");
    RECT before;
    GetWindowRect(window, &before);
    ResetFixtureLog(window);
    Command(window, CMD_TOPMOST);
    Command(window, CMD_TOPMOST);
    PumpMessagesFor(30);
    RECT after;
    GetWindowRect(window, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    FixtureLog* log = GetFixtureLog(window);
    EXPECT_EQ(0, log->moves + log->sizes + log->activations + log->posChanging);
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
    HWND closing = Fixture("closes at once");
    HWND refusing = Fixture("refuses to close", RefusesClose);
    Command(closing, CMD_CLOSE);
    EXPECT_FALSE(IsWindow(closing));
    EXPECT_LT(FindListRowOfWindow(main.list, closing), 0);
    Command(refusing, CMD_CLOSE);
    EXPECT_TRUE(IsWindow(refusing));
    EXPECT_GE(FindListRowOfWindow(main.list, refusing), 0);
    EXPECT_EQ(1, GetFixtureLog(refusing)->closeRequests);
}

TEST_F(WindowOperationsTest, CommandsOnAHungWindowReturnWhileItIsHungAndTakeEffectWhenItWakes)
{
    HungWindow hung;
    ASSERT_TRUE(StartHungWindow(&hung, "hung-target"));
    SendCommand(main.dialog, CMD_REFRESH);
    // The helper stays hung until released, or for a minute: a command that
    // waited for it would come back only after it had gone.
    auto stillHung = [&] { return WaitForSingleObject(hung.process.hProcess, 0) == WAIT_TIMEOUT; };
    for (UINT id : {CMD_ENABLE, CMD_TOPMOST, CMD_ACTIVATE, CMD_REFRESH, CMD_VISIBLE}) {
        Command(hung.window, id);
        EXPECT_TRUE(stillHung()) << id;
    }
    // Read without opening the menu: opening any menu drops the entries of
    // changes that have not taken effect yet, so the last toggle's is the one left.
    UINT undoShow = 0;
    for (int i = 0; i < GetMenuItemCount(undoMenu); ++i) {
        if (MenuText(undoMenu, i, MF_BYPOSITION).rfind("可視", 0) == 0)
            undoShow = GetMenuItemID(undoMenu, i);
    }
    ASSERT_NE(0u, undoShow);
    SendCommand(main.dialog, undoShow);
    EXPECT_TRUE(stillHung());
    char renamed[] = "renamed while hung";
    NMLVDISPINFOA info = EndOfEdit(main, hung.window, renamed);
    Notify(main, &info.hdr);
    EXPECT_TRUE(stillHung());
    WhenDialogOpens(main.dialog, [](HWND properties) {
        SetDlgItemTextA(properties, IDC_PROP_TITLE, "retitled while hung");
        ClickButton(properties, IDOK);
    });
    ASSERT_GE(SelectListRowOfWindow(main.list, hung.window), 0);
    SendCommand(main.dialog, CMD_PROPERTIES);
    EXPECT_EQ(1, DialogsSeen());
    EXPECT_TRUE(stillHung());
    EXPECT_GT(PendingWindowChanges(), 0);

    SetEvent(hung.release);
    for (int i = 0; i < 100 && PendingWindowChanges() > 0; ++i)
        PumpMessagesFor(50);
    EXPECT_EQ(0, PendingWindowChanges());  // every waiting thread has ended
    EXPECT_EQ("retitled while hung", WindowText(hung.window));  // the later of the two
    EXPECT_FALSE(IsWindowEnabled(hung.window));
    EXPECT_TRUE(IsTopmost(hung.window));
    EXPECT_TRUE(IsWindowVisible(hung.window));  // hidden, then shown by the undo
    StopHungWindow(&hung);

    // Closing posts and never waits.
    ASSERT_TRUE(StartHungWindow(&hung, "hung-close"));
    SendCommand(main.dialog, CMD_REFRESH);
    Command(hung.window, CMD_CLOSE);
    EXPECT_TRUE(stillHung());
    StopHungWindow(&hung);
}

TEST_F(WindowOperationsTest, UndoMenuShowsPlaceholderThenOneEntryPerToggle)
{
    EXPECT_EQ(std::vector<std::string>{"40010:(なし)"}, UndoItems());
    EXPECT_TRUE(GetMenuState(undoMenu, CMD_UNDO_NONE, MF_BYCOMMAND) & MF_GRAYED);

    struct Case { UINT command; const char* caption; };
    const Case cases[] = {{CMD_ENABLE, "使用可能(&E)"}, {CMD_VISIBLE, "可視(&V)"}, {CMD_TOPMOST, "最前面(&T)"}};
    UINT id = CMD_UNDO_FIRST;
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        HWND window = Fixture(std::string("entry ") + c.caption);
        Command(window, c.command);
        expected.push_back(Entry(id++, c.caption, std::string("entry ") + c.caption));
        EXPECT_EQ(expected, UndoItems());
    }
}

TEST_F(WindowOperationsTest, UndoRestoresAndLeavesTheRedoEntry)
{
    HWND window = Fixture("undo me");
    Command(window, CMD_ENABLE);
    ASSERT_FALSE(IsWindowEnabled(window));
    ASSERT_EQ(1u, UndoItems().size());
    SendCommand(main.dialog, CMD_UNDO_FIRST);
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_EQ("○", CellText(main.list, FindListRowOfWindow(main.list, window), 6));  // refreshed
    EXPECT_EQ(std::vector<std::string>{Entry(CMD_UNDO_FIRST + 1, "使用可能(&E)", "undo me")}, UndoItems());
    SendCommand(main.dialog, CMD_UNDO_FIRST + 1);  // redo
    EXPECT_FALSE(IsWindowEnabled(window));
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

TEST_F(WindowOperationsTest, FullHistoryEvictsTheUndoMenusFirstItem)
{
    std::vector<HWND> windows = Fixtures("many ", 66);
    // Filled directly (each records as a command would), to keep the test short.
    for (int i = 0; i < 64; ++i)
        ApplyTopmost(main.dialog, &main.state->undoHistory, windows[i], 1);
    std::vector<std::string> full = UndoItems();
    ASSERT_EQ(64u, full.size());
    EXPECT_EQ(Entry(CMD_UNDO_FIRST, "最前面(&T)", "many 0"), full.front());
    // The 65th takes slot 0, which now stands last; the 66th must then evict
    // the first item, slot 1, not slot 0 again.
    Command(windows[64], CMD_TOPMOST);
    Command(windows[65], CMD_TOPMOST);
    std::vector<std::string> items = UndoItems();
    ASSERT_EQ(64u, items.size());
    EXPECT_EQ(Entry(CMD_UNDO_FIRST + 2, "最前面(&T)", "many 2"), items.front());
    EXPECT_EQ(Entry(CMD_UNDO_FIRST, "最前面(&T)", "many 64"), items[62]);
    EXPECT_EQ(Entry(CMD_UNDO_FIRST + 1, "最前面(&T)", "many 65"), items[63]);
    EXPECT_EQ(64, main.state->undoHistory.count);
}

TEST_F(WindowOperationsTest, UndoWhenFullRecordsWithoutLosingItsOwnValue)
{
    std::vector<HWND> windows = Fixtures("full ", 64);
    for (HWND window : windows)
        ApplyEnabled(main.dialog, &main.state->undoHistory, window, 0);
    ASSERT_EQ(64u, UndoItems().size());
    // Undoing the oldest entry evicts that very slot to record the redo.
    SendCommand(main.dialog, CMD_UNDO_FIRST);
    EXPECT_TRUE(IsWindowEnabled(windows[0]));
    std::vector<std::string> items = UndoItems();
    EXPECT_EQ(Entry(CMD_UNDO_FIRST, "使用可能(&E)", "full 0"), items.back());
}

TEST_F(WindowOperationsTest, TwoWindowsEntriesAreIndependent)
{
    HWND a = Fixture("window a");
    HWND b = Fixture("window b");
    Command(a, CMD_ENABLE);
    Command(b, CMD_ENABLE);
    SendCommand(main.dialog, CMD_UNDO_FIRST);
    EXPECT_TRUE(IsWindowEnabled(a));
    EXPECT_FALSE(IsWindowEnabled(b));
    // The undone slot stays taken until the menu next opens, so the redo
    // entry gets the next free id.
    std::vector<std::string> expected = {Entry(CMD_UNDO_FIRST + 1, "使用可能(&E)", "window b"),
                                         Entry(CMD_UNDO_FIRST + 2, "使用可能(&E)", "window a")};
    EXPECT_EQ(expected, UndoItems());
}

TEST_F(WindowOperationsTest, ActivationAndCloseAddNothingToUndo)
{
    HWND window = Fixture("not recorded", RefusesClose);
    Command(window, CMD_ACTIVATE);
    Command(window, CMD_CLOSE);
    EXPECT_EQ(std::vector<std::string>{"40010:(なし)"}, UndoItems());
    EXPECT_EQ(0, main.state->undoHistory.count);
}

TEST_F(WindowOperationsTest, WithNothingSelectedTheCommandsOnlyRefresh)
{
    HWND window = Fixture("left alone", RefusesClose);
    SelectNothing(main.list);
    HWND late = CreateFixtureWindow(fixtures, FixtureSpec());  // appears only after a refresh
    for (UINT id : {CMD_ENABLE, CMD_VISIBLE, CMD_TOPMOST, CMD_ACTIVATE, CMD_CLOSE}) {
        EXPECT_EQ(1, OnWindowCommand(main.dialog, id));
        SelectNothing(main.list);
    }
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsTopmost(window));
    EXPECT_EQ(0, GetFixtureLog(window)->closeRequests);
    EXPECT_GE(FindListRowOfWindow(main.list, late), 0);
    EXPECT_EQ(0, main.state->undoHistory.count);
    EXPECT_EQ(0, OnWindowCommand(main.dialog, CMD_PROPERTIES));
}

TEST_F(WindowOperationsTest, AWindowGoneSinceItWasSelectedIsLeftAlone)
{
    WhenDialogOpens(main.dialog, [](HWND properties) { ClickButton(properties, IDCANCEL); });
    for (UINT id : {CMD_ENABLE, CMD_VISIBLE, CMD_TOPMOST, CMD_ACTIVATE, CMD_CLOSE, CMD_PROPERTIES}) {
        HWND window = Fixture("gone after selection");
        ASSERT_GE(SelectListRowOfWindow(main.list, window), 0);
        OpenAnyMenu();
        DestroyFixtureWindow(fixtures, window);
        SendCommand(main.dialog, id);
        if (id != CMD_PROPERTIES)  // which opens nothing and so has nothing to refresh
            EXPECT_LT(FindListRowOfWindow(main.list, window), 0) << id;
    }
    StopWatchingForDialogs();
    EXPECT_EQ(0, DialogsSeen());
    EXPECT_EQ(0, main.state->undoHistory.count);
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
