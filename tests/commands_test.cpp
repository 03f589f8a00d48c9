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
// menu (a single click, the real timer left to fire); a double click on the
// row; a key; or WM_COMMAND sent by another program or the dialog manager.
enum Road { MENU_BAR, SYSTEM_MENU, CONTEXT_MENU, CONTEXT_KEY, TRAY_MENU, ROW_DOUBLE_CLICK, KEY, SENT };
const char* const ROAD_NAMES[] = {"menu bar",     "system menu", "context menu", "context menu key",
                                  "tray menu",    "double click", "key",         "sent"};

BOOL WINAPI NoShell(DWORD, PNOTIFYICONDATAA) { return TRUE; }

// A dialog as it opens: centred on the cursor, inside the work area.
void ExpectCentredOnCursor(HWND dialog)
{
    RECT r, work;
    GetWindowRect(dialog, &r);
    GetWorkArea(&work);
    POINT cursor;
    GetCursorPos(&cursor);
    int w = r.right - r.left, h = r.bottom - r.top;
    EXPECT_EQ(std::max(work.left, std::min(cursor.x - w / 2, work.right - w)), r.left) << WindowText(dialog);
    EXPECT_EQ(std::max(work.top, std::min(cursor.y - h / 2, work.bottom - h)), r.top) << WindowText(dialog);
}

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
    // Takes `road` to the command `id` (for a key, the key; for the menu bar,
    // `letter` names the popup) with the pointer on `target`'s row; id 0 only
    // opens the menu and closes it. Returns what the menu showed.
    ChosenMenu TakeRoad(Road road, UINT id, char letter, HWND target)
    {
        HWND dialog = main.dialog;
        RECT row = {LVIR_LABEL};
        SendMessageA(main.list, LVM_GETITEMRECT, FindListRowOfWindow(main.list, target), (LPARAM)&row);
        POINT at = {row.left + 3, (row.top + row.bottom) / 2};
        LPARAM atRow = MAKELPARAM(at.x, at.y);
        ClientToScreen(main.list, &at);
        SetCursorPos(at.x, at.y);
        ChosenMenu menu;
        switch (road) {
        case MENU_BAR:
        case SYSTEM_MENU:
            return ChooseInNextMenu([&] { SendMessageA(dialog, WM_SYSCOMMAND, SC_KEYMENU, letter); }, id);
        case CONTEXT_MENU:
            SelectNothing(main.list);  // the click selects the row
            return ChooseInNextMenu([&] {
                PostMessageA(main.list, WM_RBUTTONUP, 0, atRow);  // ends the control's wait for a drag
                SendMessageA(main.list, WM_RBUTTONDOWN, MK_RBUTTON, atRow);
            }, id);
        case CONTEXT_KEY:  // Shift+F10 on the list (`letter` 'S'; its key-up goes to the menu), or what the menu key sends
            return ChooseInNextMenu([&] {
                MSG shiftF10 = {main.list, WM_SYSKEYDOWN, VK_F10, 1};
                BYTE keys[256];
                GetKeyboardState(keys);
                keys[VK_SHIFT] = 0x80;
                SetKeyboardState(keys);
                letter ? (void)DispatchMainMessage(dialog, accelerators, &shiftF10)
                       : (void)SendMessageA(main.list, WM_CONTEXTMENU, (WPARAM)main.list, MAKELPARAM(-1, -1));
                keys[VK_SHIFT] = 0;
                SetKeyboardState(keys);
            }, id);
        case TRAY_MENU: {
            UINT doubleClickTime = GetDoubleClickTime();
            SystemParametersInfoA(SPI_SETDOUBLECLICKTIME, 50, NULL, 0);  // for this session only
            ShowWindow(dialog, SW_MINIMIZE);
            menu = ChooseInNextMenu([&] {
                SendMessageA(dialog, WM_APP, TRAY_ICON_ID, WM_LBUTTONDOWN);
                SendMessageA(dialog, WM_APP, TRAY_ICON_ID, WM_LBUTTONUP);
                PumpMessagesFor(250);
            }, id);
            SystemParametersInfoA(SPI_SETDOUBLECLICKTIME, doubleClickTime, NULL, 0);
            EXPECT_FALSE(IsWindowVisible(dialog));
            LeaveTray(dialog);
            return menu;
        }
        case ROW_DOUBLE_CLICK:
            SelectNothing(main.list);
            for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
                SendMessageA(main.list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, atRow);
            break;
        case KEY: {
            bool alt = id == VK_F4;
            MSG message = {main.list, alt ? (UINT)WM_SYSKEYDOWN : (UINT)WM_KEYDOWN, id, alt ? 0x20000001 : 1};
            DispatchMainMessage(dialog, accelerators, &message);
            break;
        }
        case SENT: SendMessageA(dialog, WM_COMMAND, id, 0); break;
        }
        PumpMessagesFor(20);
        return menu;
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

TEST_F(CommandsTest, ViewFilterChangesListCountAndFileAtOnce)
{
    HWND hidden = Fixture("filtered hidden", Hidden);
    HWND minimised = Fixture("filtered minimised", Minimised);
    HWND disabled = Fixture("filtered disabled", Disabled);
    wchar_t path[SETTINGS_PATH_SIZE];
    ASSERT_TRUE(GetModulePathWithExtW(path, SETTINGS_PATH_SIZE, L".ini"));
    struct Case { UINT id; HWND window; const char* key; };
    const Case cases[] = {{CMD_VIEW_INVISIBLE, hidden, "不可視ウィンドウを列挙する"},
                          {CMD_VIEW_MINIMIZED, minimised, "最小化されたウィンドウを列挙する"},
                          {CMD_VIEW_DISABLED, disabled, "使用不可能なウィンドウを列挙する"}};
    for (const Case& c : cases) {
        ASSERT_GE(FindListRowOfWindow(main.list, c.window), 0);
        int before = RowCount(main.list);
        SendCommand(main.dialog, c.id);
        InitMenuPopup(main.dialog, Popup(1));  // its check mark alone goes
        for (const Case& item : cases)
            EXPECT_EQ(&item != &c, Checked(Popup(1), item.id)) << item.id;
        EXPECT_LT(FindListRowOfWindow(main.list, c.window), 0);
        EXPECT_LT(RowCount(main.list), before);
        EXPECT_EQ(std::to_string(RowCount(main.list)) + " 個のｳｨﾝﾄﾞｳ", StatusText(main.dialog));
        EXPECT_EQ(0, ReadSettingFlag(path, SETTINGS_SECTION, c.key, 9)) << c.key;
        SendCommand(main.dialog, c.id);
        EXPECT_GE(FindListRowOfWindow(main.list, c.window), 0);
        EXPECT_EQ(1, ReadSettingFlag(path, SETTINGS_SECTION, c.key, 9)) << c.key;
    }
    DeleteFileW(path);
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
    // Rows that move under the editor: a header click sorts them the other
    // way; a second F2 ends the edit, and its refresh moves the row (from the
    // top of the descending order to below the others). The text still goes
    // to the window whose row the edit began on.
    HWND others[] = {Fixture("rename d"), Fixture("rename e")};
    for (UINT move : {(UINT)LVN_COLUMNCLICK, (UINT)VK_F2}) {
        Select(edited);
        PressKey(main.list, VK_F2);
        HWND edit = (HWND)SendMessageA(main.list, LVM_GETEDITCONTROL, 0, 0);
        ASSERT_NE(nullptr, edit);
        SetWindowTextA(edit, move == VK_F2 ? "aa moved" : "header clicked");
        NMLISTVIEW click = {{main.list, IDC_WINDOW_LIST, LVN_COLUMNCLICK}, -1, 0};
        if (move == LVN_COLUMNCLICK) {
            Notify(main, &click.hdr);  // the title column, now descending
        } else {
            PressKey(edit, VK_F2);
            edit = (HWND)SendMessageA(main.list, LVM_GETEDITCONTROL, 0, 0);
            ASSERT_NE(nullptr, edit);
            EXPECT_EQ("aa moved", WindowText(edit));  // the new editor is on the same window's row
        }
        SetFocus(main.dialog);
        PumpMessagesFor(20);
        EXPECT_EQ(move == VK_F2 ? "aa moved" : "header clicked", WindowText(edited));
        EXPECT_EQ("rename d|rename e", WindowText(others[0]) + "|" + WindowText(others[1]));
    }
    // A glance (F2, a click elsewhere) sets nothing, whatever the title became:
    // not one the code page cannot hold (the editor shows stand-ins), not a long
    // one (it holds it cut), not the old one of a window that retitled itself.
    struct Glance { std::wstring title; const wchar_t* meanwhile; };
    const Glance glances[] = {{L"\u00dcber \u2013 \u20ac \u4e2d\u6587 \ud55c\uae00", nullptr},
                              {std::wstring(1000, L'x'), nullptr}, {L"loading", L"loaded"}};
    for (const Glance& g : glances) {
        HWND window = NULL;
        RunOnFixtureThread(fixtures, [&] {
            window = CreateWindowExW(0, L"Static", g.title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 50, 50,
                                     NULL, NULL, NULL, NULL);
        });
        SendCommand(main.dialog, CMD_REFRESH);
        Select(window);
        PressKey(main.list, VK_F2);
        ASSERT_NE(nullptr, (HWND)SendMessageA(main.list, LVM_GETEDITCONTROL, 0, 0));
        if (g.meanwhile != nullptr)
            RunOnFixtureThread(fixtures, [&] { SetWindowTextW(window, g.meanwhile); });
        SetFocus(main.dialog);
        PumpMessagesFor(20);
        std::wstring title(1100, L'\0');
        title.resize((size_t)GetWindowTextW(window, &title[0], 1100));
        EXPECT_TRUE((g.meanwhile != nullptr ? g.meanwhile : g.title) == title) << title.size();
        DestroyFixtureWindow(fixtures, window);
    }
}

TEST_F(CommandsTest, EndOfEditRetitlesOrLeavesAlone)
{
    HWND window = Fixture("edit target");
    // The text, the control it comes from, then the title wanted; the last
    // names the row alone, without its item data.
    char empty[] = "", renamed[] = "renamed", capital[] = "Renamed", other[] = "from another control",
         byRow[] = "by its row";
    struct Case { char* text; UINT from; const char* title; };
    const Case cases[] = {{NULL, IDC_WINDOW_LIST, "edit target"},  // cancelled
                          {empty, IDC_WINDOW_LIST, ""},
                          {renamed, IDC_WINDOW_LIST, "renamed"},
                          {other, IDC_STATUS_LINE, "renamed"},
                          {capital, IDC_WINDOW_LIST, "Renamed"},  // a change of case is a change
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

TEST_F(CommandsTest, EachCommandDoesItsOneThingByEveryRoadToIt)
{
    // What a command changes of the selected window, or what else it does.
    enum Effect { NONE, DISABLES, HIDES, TOPMOST, ACTIVATES, CLOSES, PROPERTIES, ABOUT, EDITOR, REFRESHES,
                  FILTERS, QUITS, UNDOES, ON_TOP };
    // The road, the command (a key, or a whole WM_COMMAND wParam when sent),
    // the menu bar popup's letter, then the effect.
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
        {CONTEXT_KEY, CMD_VISIBLE, 0, HIDES},            {CONTEXT_KEY, CMD_PROPERTIES, 'S', PROPERTIES},
        {ROW_DOUBLE_CLICK, 0, 0, PROPERTIES},            {KEY, VK_F2, 0, EDITOR},
        {KEY, VK_F5, 0, REFRESHES},                  {KEY, VK_ESCAPE, 0, NONE},
        {KEY, VK_RETURN, 0, NONE},                   {KEY, VK_F4, 0, QUITS},  // with Alt
        {SENT, CMD_QUIT_OK, 0, QUITS},               {SENT, CMD_QUIT, 0, QUITS},
        {SENT, CMD_SWALLOW_KEY, 0, NONE},            {SENT, CMD_REFRESH, 0, REFRESHES},
        {SENT, MAKEWPARAM(CMD_REFRESH, EN_CHANGE), 0, NONE},  // a control's notification is no command
    };
    TrayNotifier realNotifier = SetTrayNotifier(NoShell);
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, NULL, NULL, NULL, NULL);
    HWND bystander = CreateTitledFixture(fixtures, "road bystander", Topmost);
    // Visible windows only: the targets stand in the first and the last row
    // and take turns.
    HWND targets[] = {CreateTitledFixture(fixtures, "aa road first", RefusesClose),
                      CreateTitledFixture(fixtures, "zz road last", RefusesClose)};
    int turn = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(ROAD_NAMES[c.road]) + " " + std::to_string(c.id));
        HWND target = targets[turn++ % 2];
        RunOnFixtureThread(fixtures, [target] {
            EnableWindow(target, TRUE);
            ShowWindow(target, SW_SHOWNOACTIVATE);
            SetNotTopmost(target);
        });
        ResetFixtureLog(target);
        HWND quitted = main.dialog;
        main = UseSharedMainDialog();
        if (main.dialog != quitted)
            ExpectCentredOnCursor(main.dialog);  // where the user was when it started
        main.state->showInvisible = 0;
        SendCommand(main.dialog, CMD_REFRESH);
        ASSERT_EQ(turn % 2 == 1 ? 0 : RowCount(main.list) - 1, FindListRowOfWindow(main.list, target));
        SetWindowPos(main.dialog, NULL, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (c.effect == UNDOES) {
            Select(target);
            SendCommand(main.dialog, CMD_ENABLE);
        }
        Select(target);
        // A menu of ours comes up in the foreground wherever the user was.
        bool popup = c.road == CONTEXT_MENU || c.road == TRAY_MENU;
        SetForegroundWindow(popup ? other : main.dialog);
        PumpMessagesFor(popup ? 50 : 0);  // the display's news of the switch, which would close the menu
        HWND late = CreateTitledFixture(fixtures, "road late");
        WindowState expected = ReadWindowState(target), bystanderBefore = ReadWindowState(bystander);
        std::string dialogSeen;
        WhenDialogOpens(main.dialog, [&dialogSeen](HWND dialog) {
            dialogSeen = WindowText(dialog);
            ExpectCentredOnCursor(dialog);
            ClickButton(dialog, GetDlgItem(dialog, IDCANCEL) != NULL ? IDCANCEL : IDOK);  // the About box has OK only
        });
        HWND dialog = main.dialog;
        RECT title = {LVIR_LABEL};  // the keys open the menu below it
        SendMessageA(main.list, LVM_GETITEMRECT, FindListRowOfWindow(main.list, target), (LPARAM)&title);
        POINT below = {title.left, title.bottom};
        ClientToScreen(main.list, &below);
        ChosenMenu menu = TakeRoad(c.road, c.id, c.letter, target);
        POINT cursor;
        GetCursorPos(&cursor);  // on the row
        EXPECT_EQ(c.road <= TRAY_MENU, menu.chosen);
        if (c.road == CONTEXT_MENU || c.road == CONTEXT_KEY) {
            POINT at = c.road == CONTEXT_KEY ? below : cursor;
            EXPECT_EQ(10, menu.items);
            EXPECT_EQ("タイトルの変更(&I)", menu.firstItem);  // no shortcut text
            EXPECT_EQ(at.x, menu.rect.left);
            EXPECT_EQ(at.y, menu.rect.top);
            EXPECT_TRUE(menu.messageFollowed);  // so that the next menu does not close at once
        }
        if (popup)
            EXPECT_EQ(dialog, menu.foreground);  // so that a click elsewhere closes it
        WindowState now = ReadWindowState(target);
        expected.foreground = c.effect == ACTIVATES ? target : c.effect == QUITS ? now.foreground : dialog;
        expected.enabled = c.effect != DISABLES;
        expected.visible = c.effect != HIDES;
        expected.topmost = c.effect == TOPMOST;
        EXPECT_EQ(expected, now);
        bystanderBefore.foreground = expected.foreground;
        EXPECT_EQ(bystanderBefore, ReadWindowState(bystander));
        EXPECT_EQ(c.effect == CLOSES ? 1 : 0, GetFixtureLog(target)->closeRequests);
        EXPECT_EQ(c.effect == PROPERTIES ? "ﾌﾟﾛﾊﾟﾃｨ VantoraFixture-" + WindowText(target)
                  : c.effect == ABOUT    ? "Vantora について"
                                         : "",
                  dialogSeen);
        EXPECT_EQ(c.effect != QUITS, IsWindow(dialog) != FALSE);
        if (c.effect == QUITS)
            continue;
        HWND edit = (HWND)SendMessageA(main.list, LVM_GETEDITCONTROL, 0, 0);
        EXPECT_EQ(c.effect == EDITOR ? WindowText(target) : "", edit != NULL ? WindowText(edit) : "");
        if (edit != NULL)
            SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);  // rebuilds nothing: no change, no refresh owed
        // Every command that changes a window ends with a fresh list.
        bool refreshes = c.effect != NONE && c.effect != EDITOR && c.effect != ON_TOP && c.effect != PROPERTIES &&
                         c.effect != ABOUT;
        EXPECT_EQ(refreshes, FindListRowOfWindow(main.list, late) >= 0);
        if (refreshes && c.effect != HIDES)
            EXPECT_EQ(target, GetSelectedListWindow(main.list));  // still selected after the refresh
        EXPECT_EQ(c.effect == FILTERS ? 1 : 0, main.state->showInvisible);
        EXPECT_EQ(c.effect == ON_TOP, IsTopmost(dialog) != FALSE);
        EXPECT_EQ(c.effect == ON_TOP, main.state->alwaysOnTop);
        EXPECT_EQ(c.effect == UNDOES ? 2 : (c.effect >= DISABLES && c.effect <= TOPMOST) ? 1 : 0,
                  main.state->undoHistory.count);
        DestroyFixtureWindow(fixtures, late);
    }
    DestroyWindow(other);
    SetTrayNotifier(realNotifier);
}

TEST_F(CommandsTest, OpeningEachMenuAndDialogAgainAndAgainLeavesNoObjectBehind)
{
    HWND window = Fixture("opened on");
    Select(window);
    SendCommand(main.dialog, CMD_ENABLE);  // an Undo entry to show
    TrayNotifier realNotifier = SetTrayNotifier(NoShell);
    struct Opening { Road road; UINT id; char letter; };
    const Opening openings[] = {{CONTEXT_MENU, 0, 0}, {MENU_BAR, 0, 'w'},  {MENU_BAR, 0, 'u'}, {SYSTEM_MENU, 0, ' '},
                                {TRAY_MENU, 0, 0},    {SENT, CMD_PROPERTIES}, {SENT, CMD_ABOUT}};
    GuiObjects before = {};
    for (int round = 0; round < 3; ++round) {
        for (const Opening& o : openings) {
            Select(window);
            WhenDialogOpens(main.dialog, [](HWND d) { ClickButton(d, GetDlgItem(d, IDCANCEL) != NULL ? IDCANCEL : IDOK); });
            TakeRoad(o.road, o.id, o.letter, window);
        }
        PumpMessagesFor(20);
        if (round == 0)
            before = CountGuiObjects();  // after what the first opening loads once for the run
    }
    EXPECT_EQ(before, CountGuiObjects());
    SetTrayNotifier(realNotifier);
}
