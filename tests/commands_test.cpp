#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

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

namespace {

const UINT WINDOW_ITEMS[] = {CMD_ENABLE, CMD_VISIBLE, CMD_TOPMOST, CMD_ACTIVATE, CMD_CLOSE, CMD_PROPERTIES};

bool Greyed(HMENU menu, UINT id) { return (MenuState(menu, id) & MF_GRAYED) != 0; }
bool Checked(HMENU menu, UINT id) { return (MenuState(menu, id) & MF_CHECKED) != 0; }

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

TEST_F(CommandsTest, NothingSelectedGreysAndUnchecksEveryWindowItem)
{
    Fixture("something");
    SelectNothing(main.list);
    HMENU windowMenu = Popup(0);
    for (UINT id : {CMD_ENABLE, CMD_VISIBLE, CMD_TOPMOST})
        CheckMenuItem(windowMenu, id, MF_CHECKED);  // stale marks must go
    InitMenuPopup(main.dialog, windowMenu);
    for (UINT id : WINDOW_ITEMS) {
        EXPECT_TRUE(Greyed(windowMenu, id)) << id;
        EXPECT_FALSE(Checked(windowMenu, id)) << id;
    }
    EXPECT_FALSE(Greyed(windowMenu, CMD_QUIT));
    EXPECT_EQ("ｱﾌﾟﾘｹｰｼｮﾝの終了(&Q)", MenuText(windowMenu, CMD_QUIT));
}

TEST_F(CommandsTest, SelectedWindowDecidesGreyingAndCheckMarks)
{
    struct Case { HWND window; bool activate, enabled, visible, topmost; };
    const Case cases[] = {
        {Fixture("plain"), true, true, true, false},
        {Fixture("hidden", Hidden), false, true, false, false},
        {Fixture("disabled", Disabled), false, false, true, false},
        {Fixture("topmost", Topmost), true, true, true, true},
    };
    HMENU windowMenu = Popup(0);
    for (const Case& c : cases) {
        Select(c.window);
        InitMenuPopup(main.dialog, windowMenu);
        EXPECT_EQ(!c.activate, Greyed(windowMenu, CMD_ACTIVATE)) << WindowText(c.window);
        for (UINT id : {CMD_ENABLE, CMD_VISIBLE, CMD_TOPMOST, CMD_CLOSE, CMD_PROPERTIES})
            EXPECT_FALSE(Greyed(windowMenu, id)) << WindowText(c.window) << " " << id;
        EXPECT_EQ(c.enabled, Checked(windowMenu, CMD_ENABLE)) << WindowText(c.window);
        EXPECT_EQ(c.visible, Checked(windowMenu, CMD_VISIBLE)) << WindowText(c.window);
        EXPECT_EQ(c.topmost, Checked(windowMenu, CMD_TOPMOST)) << WindowText(c.window);
    }
}

TEST_F(CommandsTest, ContextMenuItemsFollowTheSelectionToo)
{
    HMENU loaded = LoadMenuA(GetModuleHandleA(NULL), "POPUP_MENU");
    HMENU context = GetSubMenu(loaded, 0);
    SelectNothing(main.list);
    InitMenuPopup(main.dialog, context);
    EXPECT_TRUE(Greyed(context, CMD_RENAME));
    Select(Fixture("context"));
    InitMenuPopup(main.dialog, context);
    EXPECT_FALSE(Greyed(context, CMD_RENAME));
    EXPECT_TRUE(Checked(context, CMD_VISIBLE));
    DestroyMenu(loaded);
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

TEST_F(CommandsTest, F2WithoutSelectionStartsNoEdit)
{
    Fixture("no rename");
    SelectNothing(main.list);
    PressKey(main.list, VK_F2);
    EXPECT_EQ(nullptr, (HWND)SendMessageA(main.list, LVM_GETEDITCONTROL, 0, 0));
}

TEST_F(CommandsTest, F2EditsTheTitleInPlaceAndEscEnterDoNotEndIt)
{
    HWND window = Fixture("rename me");
    Select(window);
    PressKey(main.list, VK_F2);
    HWND edit = (HWND)SendMessageA(main.list, LVM_GETEDITCONTROL, 0, 0);
    ASSERT_NE(nullptr, edit);
    EXPECT_EQ(main.list, GetParent(edit));
    EXPECT_TRUE(GetFocus() == edit || GetFocus() == main.list);
    char text[64] = "";
    GetWindowTextA(edit, text, sizeof(text));
    EXPECT_STREQ("rename me", text);

    PressKey(edit, VK_ESCAPE);
    PressKey(edit, VK_RETURN);
    EXPECT_TRUE(IsWindow(main.dialog));
    EXPECT_TRUE(IsWindow(edit));
    EXPECT_EQ(edit, (HWND)SendMessageA(main.list, LVM_GETEDITCONTROL, 0, 0));

    // The real editor: type a new title and move the focus away to commit it.
    SetWindowTextA(edit, "改名した");
    SetFocus(main.dialog);
    PumpMessagesFor(50);
    EXPECT_EQ("改名した", WindowText(window));
    int row = FindListRowOfWindow(main.list, window);
    EXPECT_EQ("改名した", CellText(main.list, row, 0));
}

TEST_F(CommandsTest, EndOfEditRetitlesOrLeavesAlone)
{
    HWND window = Fixture("edit target");
    NMLVDISPINFOA info = EndOfEdit(main, window, NULL);  // cancelled
    Notify(main, &info.hdr);
    EXPECT_EQ("edit target", WindowText(window));

    char empty[] = "";
    info.item.pszText = empty;
    Notify(main, &info.hdr);
    EXPECT_EQ("", WindowText(window));
    EXPECT_EQ("", CellText(main.list, FindListRowOfWindow(main.list, window), 0));

    char renamed[] = "renamed";
    info.item.pszText = renamed;
    Notify(main, &info.hdr);
    EXPECT_EQ("renamed", WindowText(window));
}

TEST_F(CommandsTest, NotificationsFromOtherControlsAreIgnored)
{
    HWND window = Fixture("other control");
    char text[] = "changed";
    NMLVDISPINFOA info = EndOfEdit(main, window, text);
    info.hdr.idFrom = IDC_STATUS_LINE;
    Notify(main, &info.hdr);
    EXPECT_EQ("other control", WindowText(window));
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

namespace {
RECT shownMenuRect;
int shownMenuItems;
std::string shownFirstItem;

void CALLBACK CloseShownMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND menuWindow = FindWindowA("#32768", NULL);
    if (menuWindow == NULL || !IsWindowVisible(menuWindow))
        return;
    KillTimer(NULL, timer);
    GetWindowRect(menuWindow, &shownMenuRect);
    HMENU menu = (HMENU)SendMessageA(menuWindow, MN_GETHMENU, 0, 0);
    shownMenuItems = GetMenuItemCount(menu);
    shownFirstItem = MenuText(menu, 0, MF_BYPOSITION);
    EndMenu();
}
}  // namespace

TEST_F(CommandsTest, RightClickShowsTheContextMenuAtTheCursor)
{
    Select(Fixture("right click"));
    RECT work;
    GetWorkArea(&work);
    POINT cursor = {(work.left + work.right) / 2, (work.top + work.bottom) / 2};
    SetCursorPos(cursor.x, cursor.y);
    GetCursorPos(&cursor);
    shownMenuItems = 0;
    UINT_PTR timer = SetTimer(NULL, 0, 50, CloseShownMenu);
    NMHDR header = {main.list, IDC_WINDOW_LIST, (UINT)NM_RCLICK};
    Notify(main, &header);
    KillTimer(NULL, timer);
    EXPECT_EQ(10, shownMenuItems);
    EXPECT_EQ("タイトルの変更(&I)", shownFirstItem);  // no shortcut text
    EXPECT_EQ(cursor.x, shownMenuRect.left);
    EXPECT_EQ(cursor.y, shownMenuRect.top);
    // Posted after the menu, so that the next menu does not close at once.
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, main.dialog, WM_NULL, WM_NULL, PM_REMOVE));
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

TEST_F(CommandsTest, EscAndEnterInTheListDoNotCloseTheDialog)
{
    PressKey(main.list, VK_ESCAPE);
    PressKey(main.list, VK_RETURN);
    EXPECT_TRUE(IsWindow(main.dialog));
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST_F(CommandsTest, QuitDestroysTheDialog)
{
    HWND dialog = main.dialog;
    SendCommand(dialog, CMD_QUIT);
    EXPECT_FALSE(IsWindow(dialog));
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    main.dialog = NULL;
}
