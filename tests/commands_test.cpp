#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "app/commands.h"
#include "app/geometry.h"
#include "app/main_dialog.h"
#include "app/settings.h"
#include "catalogue/list_sort.h"
#include "catalogue/window_list.h"
#include "resources/resource_ids.h"
#include "tests/dialog_harness.h"
#include "tests/fixture_windows.h"
#include "tray/tray_icon.h"

namespace {

bool Greyed(HMENU menu, UINT id) { return (MenuState(menu, id) & MF_GRAYED) != 0; }
bool Checked(HMENU menu, UINT id) { return (MenuState(menu, id) & MF_CHECKED) != 0; }

// How a command reaches the program: an item chosen inside the open menu
// bar's popup (Alt and its letter), the system menu (Alt+Space), the row's
// context menu (a right click on the row) or the notification-area icon's
// menu (a single click, the real timer left to fire); a key; or WM_COMMAND
// sent by another program or the dialog manager.
enum Road { MENU_BAR, SYSTEM_MENU, CONTEXT_MENU, TRAY_MENU, KEY, SENT };
const char* const ROAD_NAMES[] = {"menu bar", "system menu", "context menu", "tray menu", "key", "sent"};

BOOL WINAPI NoShell(DWORD, PNOTIFYICONDATAA) { return TRUE; }

}  // namespace

class CommandsTest : public MainDialogWithFixtures {
protected:
    void SetUp() override
    {
        MainDialogWithFixtures::SetUp();
        accelerators = LoadAcceleratorsA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    }
    void Select(HWND window) { ASSERT_GE(SelectListRowOfWindow(main.list, window), 0); }
    HMENU Popup(int index) { return GetSubMenu(GetMenu(main.dialog), index); }
    // Puts a key through the program's own message handling, accelerators first.
    void PressKey(HWND target, UINT key)
    {
        MSG message = {target, WM_KEYDOWN, key, 1, GetTickCount(), {0, 0}};
        DispatchMainMessage(main.dialog, accelerators, &message);
        PumpMessagesFor(0);
    }
    HACCEL accelerators = NULL;
};

TEST_F(CommandsTest, TheSelectedWindowDecidesGreyingAndCheckMarksInBothMenus)
{
    HMENU loaded = LoadMenuA(GetModuleHandleA(NULL), "POPUP_MENU");
    // The window, then whether the window items, activation, enabled,
    // visible and topmost are on; no window: nothing selected.
    struct Case { HWND window; bool items, activate, enabled, visible, topmost; };
    const Case cases[] = {
        {NULL, false, false, false, false, false},
        {Fixture("plain"), true, true, true, true, false},
        {Fixture("hidden", Hidden), true, false, true, false, false},
        {Fixture("disabled", Disabled), true, false, false, true, false},
        {Fixture("topmost", Topmost), true, true, true, true, true},
    };
    for (HMENU menu : {Popup(0), GetSubMenu(loaded, 0)}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.window != NULL ? WindowText(c.window) : "nothing selected");
            if (c.window != NULL)
                Select(c.window);
            else
                SelectNothing(main.list);
            for (UINT id : {CMD_ENABLE, CMD_VISIBLE, CMD_TOPMOST})
                CheckMenuItem(menu, id, MF_CHECKED);  // stale marks must go
            InitMenuPopup(main.dialog, menu);
            EXPECT_EQ(!c.activate, Greyed(menu, CMD_ACTIVATE));
            for (UINT id : {CMD_RENAME, CMD_ENABLE, CMD_VISIBLE, CMD_TOPMOST, CMD_CLOSE, CMD_PROPERTIES}) {
                if (MenuState(menu, id) != (UINT)-1)  // rename is in the context menu only
                    EXPECT_EQ(!c.items, Greyed(menu, id)) << id;
            }
            EXPECT_EQ(c.enabled, Checked(menu, CMD_ENABLE));
            EXPECT_EQ(c.visible, Checked(menu, CMD_VISIBLE));
            EXPECT_EQ(c.topmost, Checked(menu, CMD_TOPMOST));
        }
    }
    EXPECT_FALSE(Greyed(Popup(0), CMD_QUIT));
    DestroyMenu(loaded);
}

TEST_F(CommandsTest, TheWindowsOfTheFirstAndTheLastRowAreActedOn)
{
    main.state->showInvisible = 0;  // visible windows only: two of ours stand first and last
    HWND first = Fixture("edge a"), last = Fixture("edge z");
    ASSERT_EQ(0, FindListRowOfWindow(main.list, first));
    ASSERT_EQ(RowCount(main.list) - 1, FindListRowOfWindow(main.list, last));
    for (HWND window : {first, last}) {
        Select(window);
        InitMenuPopup(main.dialog, Popup(0));
        EXPECT_FALSE(Greyed(Popup(0), CMD_ACTIVATE));
        SendCommand(main.dialog, CMD_ENABLE);
        EXPECT_FALSE(IsWindowEnabled(window));
        EXPECT_EQ(window, GetSelectedListWindow(main.list));  // still selected after the refresh
        WhenDialogOpens(main.dialog, [](HWND dialog) { ClickButton(dialog, IDCANCEL); });
        SendCommand(main.dialog, CMD_PROPERTIES);
        EXPECT_EQ(1, DialogsSeen());
        PressKey(main.list, VK_F2);
        EXPECT_NE(nullptr, (HWND)SendMessageA(main.list, LVM_GETEDITCONTROL, 0, 0));
        SetFocus(main.dialog);  // ends the edit unchanged
    }
}

TEST_F(CommandsTest, ViewItemsCarryTheFilterFlags)
{
    HMENU view = Popup(1);
    const UINT ids[] = {CMD_VIEW_INVISIBLE, CMD_VIEW_MINIMIZED, CMD_VIEW_DISABLED};
    BYTE* flags[] = {&main.state->showInvisible, &main.state->showMinimized, &main.state->showDisabled};
    for (int i = 0; i < 3; ++i) {
        *flags[i] = 0;
        InitMenuPopup(main.dialog, view);
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(j != i, Checked(view, ids[j])) << i << "," << j;
        *flags[i] = 1;
    }
}

TEST_F(CommandsTest, SystemMenuCheckFollowsTheRealTopmostState)
{
    HMENU system = GetSystemMenu(main.dialog, FALSE);
    SetTopmost(main.dialog);  // by other means than the menu
    InitMenuPopup(main.dialog, system);
    EXPECT_TRUE(Checked(system, CMD_ALWAYS_ON_TOP));
    SetNotTopmost(main.dialog);
    InitMenuPopup(main.dialog, Popup(0));  // any menu opening refreshes it
    EXPECT_FALSE(Checked(system, CMD_ALWAYS_ON_TOP));
    EXPECT_TRUE(OnMainInitMenuPopup(main.dialog, NULL));
}

TEST_F(CommandsTest, ViewFilterChangesListCountAndFileAtOnce)
{
    HWND hidden = Fixture("filtered hidden", Hidden);
    HWND minimised = Fixture("filtered minimised", Minimised);
    HWND disabled = Fixture("filtered disabled", Disabled);
    char path[SETTINGS_PATH_SIZE];
    ASSERT_TRUE(GetModulePathWithExt(path, sizeof(path), ".ini"));
    struct Case { UINT id; HWND window; const char* key; };
    const Case cases[] = {{CMD_VIEW_INVISIBLE, hidden, "不可視ウィンドウを列挙する"},
                          {CMD_VIEW_MINIMIZED, minimised, "最小化されたウィンドウを列挙する"},
                          {CMD_VIEW_DISABLED, disabled, "使用不可能なウィンドウを列挙する"}};
    for (const Case& c : cases) {
        ASSERT_GE(FindListRowOfWindow(main.list, c.window), 0);
        int before = RowCount(main.list);
        SendCommand(main.dialog, c.id);
        EXPECT_LT(FindListRowOfWindow(main.list, c.window), 0);
        EXPECT_LT(RowCount(main.list), before);
        EXPECT_EQ(std::to_string(RowCount(main.list)) + " 個のｳｨﾝﾄﾞｳ", StatusText(main.dialog));
        char value[8] = "";
        GetPrivateProfileStringA("Vantora", c.key, "", value, sizeof(value), path);
        EXPECT_STREQ("0", value) << c.key;
        SendCommand(main.dialog, c.id);
        EXPECT_GE(FindListRowOfWindow(main.list, c.window), 0);
        GetPrivateProfileStringA("Vantora", c.key, "", value, sizeof(value), path);
        EXPECT_STREQ("1", value) << c.key;
    }
    DeleteFileA(path);
}

TEST_F(CommandsTest, F2EditsInPlaceUntilTheEditEndsAndARefreshMeanwhileWaitsForIt)
{
    // A row above the edited one leaves the list while the editor is open.
    HWND above = Fixture("rename a"), edited = Fixture("rename b"), below = Fixture("rename c");
    SelectNothing(main.list);
    PressKey(main.list, VK_F2);
    EXPECT_EQ(nullptr, (HWND)SendMessageA(main.list, LVM_GETEDITCONTROL, 0, 0));
    for (bool cancelled : {false, true}) {
        Select(edited);
        PressKey(main.list, VK_F2);
        HWND edit = (HWND)SendMessageA(main.list, LVM_GETEDITCONTROL, 0, 0);
        ASSERT_NE(nullptr, edit);
        EXPECT_TRUE(GetFocus() == edit || GetFocus() == main.list);
        EXPECT_EQ(WindowText(edited), WindowText(edit));
        PressKey(edit, VK_ESCAPE);  // through the accelerators: neither ends the edit
        PressKey(edit, VK_RETURN);
        EXPECT_EQ(edit, (HWND)SendMessageA(main.list, LVM_GETEDITCONTROL, 0, 0));
        DestroyFixtureWindow(fixtures, cancelled ? below : above);
        PostMessageA(main.dialog, WM_COMMAND, CMD_REFRESH, 0);  // as a late change to a hung window asks
        PressKey(edit, VK_F5);
        EXPECT_GE(FindListRowOfWindow(main.list, cancelled ? below : above), 0) << cancelled;
        if (cancelled) {
            SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);  // straight to the editor
        } else {
            SetWindowTextA(edit, "改名した");
            SetFocus(main.dialog);
            PumpMessagesFor(50);
        }
        EXPECT_EQ("改名した", WindowText(edited)) << cancelled;
        if (!cancelled)
            EXPECT_EQ("改名した|rename c", CellText(main.list, FindListRowOfWindow(main.list, edited), 0) + "|" +
                                        WindowText(below));
        EXPECT_LT(FindListRowOfWindow(main.list, cancelled ? below : above), 0) << cancelled;  // refreshed at the end
    }
}

TEST_F(CommandsTest, EndOfEditRetitlesOrLeavesAlone)
{
    HWND window = Fixture("edit target");
    // The text, the control it comes from, then the title wanted; the last
    // names the row alone, without its item data.
    char empty[] = "", renamed[] = "renamed", other[] = "from another control", byRow[] = "by its row";
    struct Case { char* text; UINT from; const char* title; };
    const Case cases[] = {{NULL, IDC_WINDOW_LIST, "edit target"},  // cancelled
                          {empty, IDC_WINDOW_LIST, ""},
                          {renamed, IDC_WINDOW_LIST, "renamed"},
                          {other, IDC_STATUS_LINE, "renamed"},
                          {byRow, IDC_WINDOW_LIST, "by its row"}};
    for (const Case& c : cases) {
        NMLVDISPINFOA info = EndOfEdit(main, window, c.text);
        info.hdr.idFrom = c.from;
        info.item.lParam = c.text == byRow ? 0 : info.item.lParam;
        Notify(main, &info.hdr);
        EXPECT_EQ(c.title, WindowText(window));
        EXPECT_EQ(c.title, CellText(main.list, FindListRowOfWindow(main.list, window), 0));
    }
}

TEST_F(CommandsTest, DoubleClickOnARowOpensThePropertiesOfThatRow)
{
    Fixture("another row");
    HWND window = Fixture("double click");
    Select(window);
    RECT rect = {};
    rect.left = LVIR_LABEL;
    SendMessageA(main.list, LVM_GETITEMRECT, FindListRowOfWindow(main.list, window), (LPARAM)&rect);
    std::string caption;
    WhenDialogOpens(main.dialog, [&caption](HWND dialog) {
        caption = WindowText(dialog);
        ClickButton(dialog, IDCANCEL);
    });
    LPARAM at = MAKELPARAM(rect.left + 3, (rect.top + rect.bottom) / 2);
    SendMessageA(main.list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(main.list, WM_LBUTTONUP, 0, at);
    SendMessageA(main.list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(main.list, WM_LBUTTONUP, 0, at);
    PumpMessagesFor(20);
    EXPECT_EQ("ﾌﾟﾛﾊﾟﾃｨ VantoraFixture-double click", caption);
}

TEST_F(CommandsTest, RightClickShowsTheContextMenuAtTheCursorInTheForeground)
{
    Select(Fixture("right click"));
    RECT work;
    GetWorkArea(&work);
    POINT cursor = {(work.left + work.right) / 2, (work.top + work.bottom) / 2};
    SetCursorPos(cursor.x, cursor.y);
    GetCursorPos(&cursor);
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, NULL, NULL, NULL, NULL);
    SetForegroundWindow(other);
    PumpMessagesFor(50);  // the display's own news of the switch, which would otherwise close the menu
    NMHDR header = {main.list, IDC_WINDOW_LIST, (UINT)NM_RCLICK};
    ShownMenu menu = ReadNextMenu([&] { Notify(main, &header); });
    DestroyWindow(other);
    EXPECT_EQ(10, menu.items);
    EXPECT_EQ("タイトルの変更(&I)", menu.firstItem);  // no shortcut text
    EXPECT_EQ(cursor.x, menu.rect.left);
    EXPECT_EQ(cursor.y, menu.rect.top);
    EXPECT_EQ(main.dialog, menu.foreground);  // so that a click elsewhere closes it
    // Posted after the menu, so that the next menu does not close at once.
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, main.dialog, WM_NULL, WM_NULL, PM_REMOVE));
}

TEST_F(CommandsTest, EachDialogOpensCentredOnTheCursorInsideTheWorkArea)
{
    Select(Fixture("placed"));
    RECT work;
    GetWorkArea(&work);
    // The middle (odd offsets), and the bottom-right corner, where each
    // dialog touches the work area's edges.
    const POINT cursors[] = {{(work.left + work.right) / 2 + 11, (work.top + work.bottom) / 2 - 7},
                             {work.right - 1, work.bottom - 1}};
    for (POINT cursor : cursors) {
        SetCursorPos(cursor.x, cursor.y);
        GetCursorPos(&cursor);
        std::vector<RECT> opened(1);
        MainDialog fresh = OpenMainDialog(NewAppState());
        GetWindowRect(fresh.dialog, &opened[0]);
        CloseMainDialog(&fresh);
        for (UINT id : {CMD_PROPERTIES, CMD_ABOUT}) {
            WhenDialogOpens(main.dialog, [&opened](HWND dialog) {
                opened.emplace_back();
                GetWindowRect(dialog, &opened.back());
                ClickButton(dialog, GetDlgItem(dialog, IDCANCEL) != NULL ? IDCANCEL : IDOK);
            });
            SendCommand(main.dialog, id);
        }
        ASSERT_EQ(3u, opened.size());
        for (const RECT& r : opened) {
            int w = r.right - r.left, h = r.bottom - r.top;
            EXPECT_EQ(std::max(work.left, std::min(cursor.x - w / 2, work.right - w)), r.left) << w;
            EXPECT_EQ(std::max(work.top, std::min(cursor.y - h / 2, work.bottom - h)), r.top) << h;
        }
    }
}

TEST_F(CommandsTest, OpeningEachMenuAndDialogAgainAndAgainLeavesNoObjectBehind)
{
    HWND window = Fixture("opened on");
    Select(window);
    SendCommand(main.dialog, CMD_ENABLE);  // an Undo entry to show
    Select(window);
    TrayNotifier realNotifier = SetTrayNotifier(NoShell);
    auto cancel = [](HWND dialog) { ClickButton(dialog, GetDlgItem(dialog, IDCANCEL) != NULL ? IDCANCEL : IDOK); };
    RECT row = {LVIR_LABEL};
    SendMessageA(main.list, LVM_GETITEMRECT, FindListRowOfWindow(main.list, window), (LPARAM)&row);
    LPARAM at = MAKELPARAM(row.left + 3, (row.top + row.bottom) / 2);
    const std::function<void()> openings[] = {
        [&] { ReadNextMenu([&] { PostMessageA(main.list, WM_RBUTTONUP, 0, at); SendMessageA(main.list, WM_RBUTTONDOWN, MK_RBUTTON, at); }); },
        [&] { ReadNextMenu([&] { SendMessageA(main.dialog, WM_SYSCOMMAND, SC_KEYMENU, 'w'); }); },
        [&] { ReadNextMenu([&] { SendMessageA(main.dialog, WM_SYSCOMMAND, SC_KEYMENU, 'u'); }); },
        [&] { ReadNextMenu([&] { SendMessageA(main.dialog, WM_SYSCOMMAND, SC_KEYMENU, ' '); }); },
        [&] { ReadNextMenu([&] { SendMessageA(main.dialog, WM_APP, TRAY_ICON_ID, WM_CONTEXTMENU); }); },
        [&] { WhenDialogOpens(main.dialog, cancel); SendCommand(main.dialog, CMD_PROPERTIES); },
        [&] { WhenDialogOpens(main.dialog, cancel); SendCommand(main.dialog, CMD_ABOUT); },
    };
    for (const auto& open : openings)
        open();  // what the first opening loads once, for the whole run
    PumpMessagesFor(20);
    GuiObjects before = CountGuiObjects();
    for (int round = 0; round < 5; ++round) {
        for (const auto& open : openings)
            open();
    }
    PumpMessagesFor(20);
    EXPECT_EQ(before, CountGuiObjects());
    SetTrayNotifier(realNotifier);
}

TEST_F(CommandsTest, OnlyMenuAndAcceleratorCodesAreCommands)
{
    HWND late = CreateTitledFixture(fixtures, "late");
    // A control notification with a command's id (here EN_CHANGE) is none.
    EXPECT_FALSE(OnMainCommand(main.dialog, MAKEWPARAM(CMD_REFRESH, EN_CHANGE)));
    EXPECT_LT(FindListRowOfWindow(main.list, late), 0);
    EXPECT_TRUE(OnMainCommand(main.dialog, MAKEWPARAM(CMD_REFRESH, 1)));  // an accelerator
    EXPECT_GE(FindListRowOfWindow(main.list, late), 0);
}

TEST_F(CommandsTest, EachCommandDoesItsOneThingByEveryRoadToIt)
{
    // The road, the command (for a key, the key; for a menu bar popup, its
    // letter follows), then what the command changes of the selected
    // window's state; `other` marks commands checked by another effect.
    enum Effect { NONE, DISABLES, HIDES, TOPMOST, ACTIVATES, CLOSES, PROPERTIES, ABOUT, EDITOR, REFRESHES,
                  FILTERS, QUITS, UNDOES, ON_TOP };
    struct Case { Road road; UINT id; char letter; Effect effect; };
    const Case cases[] = {
        {MENU_BAR, CMD_ENABLE, 'w', DISABLES},       {MENU_BAR, CMD_VISIBLE, 'w', HIDES},
        {MENU_BAR, CMD_TOPMOST, 'w', TOPMOST},       {MENU_BAR, CMD_ACTIVATE, 'w', ACTIVATES},
        {MENU_BAR, CMD_CLOSE, 'w', CLOSES},          {MENU_BAR, CMD_PROPERTIES, 'w', PROPERTIES},
        {MENU_BAR, CMD_REFRESH, 'v', REFRESHES},     {MENU_BAR, CMD_VIEW_INVISIBLE, 'v', FILTERS},
        {MENU_BAR, CMD_UNDO_FIRST, 'u', UNDOES},     {MENU_BAR, CMD_ABOUT, 'h', ABOUT},
        {MENU_BAR, CMD_QUIT, 'w', QUITS},            {SYSTEM_MENU, CMD_ALWAYS_ON_TOP, ' ', ON_TOP},
        {CONTEXT_MENU, CMD_RENAME, 0, EDITOR},       {CONTEXT_MENU, CMD_ENABLE, 0, DISABLES},
        {CONTEXT_MENU, CMD_VISIBLE, 0, HIDES},       {CONTEXT_MENU, CMD_TOPMOST, 0, TOPMOST},
        {CONTEXT_MENU, CMD_ACTIVATE, 0, ACTIVATES},  {CONTEXT_MENU, CMD_CLOSE, 0, CLOSES},
        {CONTEXT_MENU, CMD_PROPERTIES, 0, PROPERTIES}, {TRAY_MENU, CMD_UNDO_FIRST, 0, UNDOES},
        {KEY, VK_F2, 0, EDITOR},                     {KEY, VK_F5, 0, REFRESHES},
        {KEY, VK_ESCAPE, 0, NONE},                   {KEY, VK_RETURN, 0, NONE},
        {KEY, VK_F4, 0, QUITS},  // with Alt
        {SENT, CMD_QUIT_OK, 0, QUITS},               {SENT, CMD_QUIT, 0, QUITS},
        {SENT, CMD_SWALLOW_KEY, 0, NONE},            {SENT, CMD_REFRESH, 0, REFRESHES},
    };
    TrayNotifier realNotifier = SetTrayNotifier(NoShell);
    UINT doubleClickTime = GetDoubleClickTime();
    SystemParametersInfoA(SPI_SETDOUBLECLICKTIME, 100, NULL, 0);  // for this session only
    HWND bystander = CreateTitledFixture(fixtures, "road bystander", Topmost);
    HWND target = CreateTitledFixture(fixtures, "road target", RefusesClose);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(ROAD_NAMES[c.road]) + " " + std::to_string(c.id));
        RunOnFixtureThread(fixtures, [target] {
            EnableWindow(target, TRUE);
            ShowWindow(target, SW_SHOWNOACTIVATE);
            SetNotTopmost(target);
        });
        ResetFixtureLog(target);
        main = UseSharedMainDialog();
        if (c.effect == UNDOES) {
            Select(target);
            SendCommand(main.dialog, CMD_ENABLE);
        }
        Select(target);
        SetForegroundWindow(main.dialog);
        PumpMessagesFor(0);
        HWND late = CreateTitledFixture(fixtures, "road late");
        WindowState expected = ReadWindowState(target), bystanderBefore = ReadWindowState(bystander);
        std::string dialogSeen;
        WhenDialogOpens(main.dialog, [&dialogSeen](HWND dialog) {
            dialogSeen = WindowText(dialog);
            ClickButton(dialog, GetDlgItem(dialog, IDCANCEL) != NULL ? IDCANCEL : IDOK);  // the About box has OK only
        });
        HWND dialog = main.dialog;
        ChosenMenu menu;
        switch (c.road) {
        case MENU_BAR:
        case SYSTEM_MENU:
            menu = ChooseInNextMenu([&] { SendMessageA(dialog, WM_SYSCOMMAND, SC_KEYMENU, c.letter); }, c.id);
            break;
        case CONTEXT_MENU: {
            RECT row = {LVIR_LABEL};
            SendMessageA(main.list, LVM_GETITEMRECT, FindListRowOfWindow(main.list, target), (LPARAM)&row);
            POINT at = {row.left + 3, (row.top + row.bottom) / 2};
            SelectNothing(main.list);  // the click selects the row
            menu = ChooseInNextMenu([&] {
                PostMessageA(main.list, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
                SendMessageA(main.list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
            }, c.id);
            break;
        }
        case TRAY_MENU:
            ShowWindow(dialog, SW_MINIMIZE);
            menu = ChooseInNextMenu([&] {
                SendMessageA(dialog, WM_APP, TRAY_ICON_ID, WM_LBUTTONDOWN);
                SendMessageA(dialog, WM_APP, TRAY_ICON_ID, WM_LBUTTONUP);
                PumpMessagesFor(300);
            }, c.id);
            EXPECT_FALSE(IsWindowVisible(dialog));
            LeaveTray(dialog);
            break;
        case KEY: {
            bool alt = c.id == VK_F4;
            MSG message = {main.list, alt ? (UINT)WM_SYSKEYDOWN : (UINT)WM_KEYDOWN, c.id, alt ? 0x20000001 : 1};
            DispatchMainMessage(dialog, accelerators, &message);
            PumpMessagesFor(20);
            break;
        }
        case SENT: SendCommand(dialog, c.id); break;
        }
        PumpMessagesFor(20);
        if (c.road < KEY)
            EXPECT_TRUE(menu.chosen);
        switch (c.effect) {
        case DISABLES: expected.enabled = false; break;
        case HIDES: expected.visible = false; break;
        case TOPMOST: expected.topmost = true; break;
        case ACTIVATES: expected.foreground = target; break;
        case UNDOES: expected.enabled = true; break;
        case QUITS: expected.foreground = GetForegroundWindow(); break;
        default: break;
        }
        EXPECT_EQ(expected, ReadWindowState(target));
        bystanderBefore.foreground = expected.foreground;
        EXPECT_EQ(bystanderBefore, ReadWindowState(bystander));
        EXPECT_EQ(c.effect == CLOSES ? 1 : 0, GetFixtureLog(target)->closeRequests);
        EXPECT_EQ(c.effect == PROPERTIES ? "ﾌﾟﾛﾊﾟﾃｨ VantoraFixture-road target"
                  : c.effect == ABOUT    ? "Vantora について"
                                         : "",
                  dialogSeen);
        EXPECT_EQ(c.effect != QUITS, IsWindow(dialog) != FALSE);
        if (c.effect == QUITS)
            continue;
        HWND edit = (HWND)SendMessageA(main.list, LVM_GETEDITCONTROL, 0, 0);
        EXPECT_EQ(c.effect == EDITOR ? "road target" : "", edit != NULL ? WindowText(edit) : "");
        if (edit != NULL)
            SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
        // Every command that changes a window ends with a fresh list.
        bool refreshes = c.effect != NONE && c.effect != EDITOR && c.effect != ON_TOP && c.effect != PROPERTIES &&
                         c.effect != ABOUT;
        EXPECT_EQ(refreshes, FindListRowOfWindow(main.list, late) >= 0);
        EXPECT_EQ(c.effect == FILTERS ? 0 : 1, main.state->showInvisible);
        EXPECT_EQ(c.effect == ON_TOP, IsTopmost(dialog) != FALSE);
        EXPECT_EQ(c.effect == ON_TOP, main.state->alwaysOnTop);
        EXPECT_EQ(c.effect == UNDOES ? 2 : (c.effect >= DISABLES && c.effect <= TOPMOST) ? 1 : 0,
                  main.state->undoHistory.count);
    }
    SystemParametersInfoA(SPI_SETDOUBLECLICKTIME, doubleClickTime, NULL, 0);
    SetTrayNotifier(realNotifier);
}
