#include <gtest/gtest.h>

#include "app/geometry.h"
#include "app/main_dialog.h"
#include "resources/resource_ids.h"
#include "tests/dialog_harness.h"
#include "tests/fixture_windows.h"

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        main = OpenMainDialog(NewAppState());
        ASSERT_NE(nullptr, main.dialog);
    }
    void TearDown() override { CloseMainDialog(&main); }
    RECT ChildRect(int id)
    {
        RECT r;
        HWND child = GetDlgItem(main.dialog, id);
        GetWindowRect(child, &r);
        MapWindowPoints(NULL, main.dialog, (POINT*)&r, 2);
        return r;
    }
    MainDialog main = {};
};

TEST_F(MainDialogTest, IsTheTemplatesDialogWithPropertyAndHandle)
{
    EXPECT_EQ(main.state, GetAppState(main.dialog));
    EXPECT_EQ(main.dialog, main.state->mainWindow);
    char caption[64] = "";
    GetWindowTextA(main.dialog, caption, sizeof(caption));
    EXPECT_STREQ("Vantora", caption);
    DWORD style = GetWindowLongA(main.dialog, GWL_STYLE);
    DWORD wanted = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    EXPECT_EQ(wanted, style & wanted);
    // The list view may trade WS_BORDER for a client edge and adds scroll bars.
    DWORD listStyle = GetWindowLongA(main.list, GWL_STYLE);
    EXPECT_EQ(0x0295u, listStyle & 0xFFFF);
    EXPECT_EQ((DWORD)(WS_CHILD | WS_VISIBLE | WS_TABSTOP), listStyle & (WS_CHILD | WS_VISIBLE | WS_TABSTOP));
    EXPECT_NE(nullptr, GetMenu(main.dialog));
}

TEST_F(MainDialogTest, LargerSizeMovesStatusLineAndGrowsList)
{
    RECT status0 = ChildRect(IDC_STATUS_LINE);
    RECT list0 = ChildRect(IDC_WINDOW_LIST);
    RECT window0;
    GetWindowRect(main.dialog, &window0);
    SetWindowPos(main.dialog, NULL, 0, 0, RectWidth(&window0) + 40, RectHeight(&window0) + 30,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT status1 = ChildRect(IDC_STATUS_LINE);
    RECT list1 = ChildRect(IDC_WINDOW_LIST);
    EXPECT_EQ(status0.left, status1.left);
    EXPECT_EQ(status0.top + 30, status1.top);
    EXPECT_EQ(RectWidth(&status0), RectWidth(&status1));
    EXPECT_EQ(list0.left, list1.left);
    EXPECT_EQ(list0.top, list1.top);
    EXPECT_EQ(RectWidth(&list0) + 40, RectWidth(&list1));
    EXPECT_EQ(RectHeight(&list0) + 30, RectHeight(&list1));

    // Back to the first size: the same layout as at the start.
    SetWindowPos(main.dialog, NULL, 0, 0, RectWidth(&window0), RectHeight(&window0),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT list2 = ChildRect(IDC_WINDOW_LIST);
    EXPECT_TRUE(EqualRect(&list0, &list2));
}

TEST_F(MainDialogTest, MaximiseAndRestoreLayOutByDifferences)
{
    RECT list0 = ChildRect(IDC_WINDOW_LIST);
    ShowWindow(main.dialog, SW_MAXIMIZE);
    RECT client;
    GetClientRect(main.dialog, &client);
    RECT list1 = ChildRect(IDC_WINDOW_LIST);
    EXPECT_EQ(list0.left, list1.left);
    EXPECT_GT(RectWidth(&list1), RectWidth(&list0));
    ShowWindow(main.dialog, SW_RESTORE);
    RECT list2 = ChildRect(IDC_WINDOW_LIST);
    EXPECT_TRUE(EqualRect(&list0, &list2));
}

TEST_F(MainDialogTest, MinimisingMakesNoLayoutAndRestoringChangesNothing)
{
    RECT list0 = ChildRect(IDC_WINDOW_LIST);
    RECT status0 = ChildRect(IDC_STATUS_LINE);
    ShowWindow(main.dialog, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(main.dialog));
    EXPECT_TRUE(OnMainSize(main.dialog, SIZE_MINIMIZED, 0, 0));  // the zero size is not laid out
    ShowWindow(main.dialog, SW_RESTORE);
    RECT list1 = ChildRect(IDC_WINDOW_LIST);
    RECT status1 = ChildRect(IDC_STATUS_LINE);
    EXPECT_TRUE(EqualRect(&list0, &list1));
    EXPECT_TRUE(EqualRect(&status0, &status1));
}

TEST_F(MainDialogTest, CannotBeMadeSmallerThanAtStart)
{
    RECT window0;
    GetWindowRect(main.dialog, &window0);
    MINMAXINFO info = {};
    SendMessageA(main.dialog, WM_GETMINMAXINFO, 0, (LPARAM)&info);
    EXPECT_EQ(RectWidth(&window0), info.ptMinTrackSize.x);
    EXPECT_EQ(RectHeight(&window0), info.ptMinTrackSize.y);
    EXPECT_TRUE(OnMainGetMinMaxInfo(main.dialog, nullptr));

    SetWindowPos(main.dialog, NULL, 0, 0, 50, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT window1;
    GetWindowRect(main.dialog, &window1);
    EXPECT_GE(RectWidth(&window1), RectWidth(&window0));
    EXPECT_GE(RectHeight(&window1), RectHeight(&window0));
}

TEST_F(MainDialogTest, SystemMenuGainsAlwaysOnTopAfterMaximise)
{
    HMENU system = GetSystemMenu(main.dialog, FALSE);
    int maximise = FindMenuItemPos(system, SC_MAXIMIZE);
    ASSERT_GE(maximise, 0);
    EXPECT_EQ(maximise + 1, FindMenuItemPos(system, CMD_ALWAYS_ON_TOP));
    EXPECT_EQ("常に最前面に表示(&T)", MenuText(system, CMD_ALWAYS_ON_TOP));
    EXPECT_EQ(-1, FindMenuItemPos(system, 12345));
}

TEST_F(MainDialogTest, AlwaysOnTopTogglesAndIsRemembered)
{
    ASSERT_FALSE(IsTopmost(main.dialog));
    SendMessageA(main.dialog, WM_SYSCOMMAND, CMD_ALWAYS_ON_TOP, 0);
    EXPECT_TRUE(IsTopmost(main.dialog));
    EXPECT_EQ(1, main.state->alwaysOnTop);
    SendMessageA(main.dialog, WM_SYSCOMMAND, CMD_ALWAYS_ON_TOP, 0);
    EXPECT_FALSE(IsTopmost(main.dialog));
    EXPECT_EQ(0, main.state->alwaysOnTop);
    EXPECT_FALSE(ToggleAlwaysOnTop(main.dialog, SC_KEYMENU));
}

TEST(MainDialogStartTest, AlwaysOnTopSettingIsAppliedAtStart)
{
    AppState* state = NewAppState();
    state->alwaysOnTop = 1;
    MainDialog main = OpenMainDialog(state);
    EXPECT_TRUE(IsTopmost(main.dialog));
    CloseMainDialog(&main);
}

TEST(MainDialogStartTest, DestroyRemovesThePropertyAndPostsQuit)
{
    MainDialog main = OpenMainDialog(NewAppState());
    ASSERT_NE(nullptr, GetAppState(main.dialog));
    // The handler itself, while the window still exists to be asked.
    OnMainDestroy(main.dialog);
    EXPECT_EQ(nullptr, GetAppState(main.dialog));
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(0u, message.wParam);
    CloseMainDialog(&main);
}

TEST_F(MainDialogTest, CarriesTheProgramsLargeAndSmallIcons)
{
    const struct { WPARAM which; int size; } icons[] = {
        {ICON_BIG, GetSystemMetrics(SM_CXICON)}, {ICON_SMALL, GetSystemMetrics(SM_CXSMICON)}};
    for (const auto& icon : icons) {
        HICON handle = (HICON)SendMessageA(main.dialog, WM_GETICON, icon.which, 0);
        ASSERT_NE(nullptr, handle) << icon.which;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(handle, &info));
        BITMAP bitmap = {};
        GetObjectA(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(icon.size, bitmap.bmWidth) << icon.which;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
}

TEST(MainDialogStartTest, NoDialogMeansAFailureExitCode)
{
    // A module without the dialog template: the dialog cannot be created.
    EXPECT_NE(0, RunMainDialog(GetModuleHandleA("kernel32.dll")));
}
