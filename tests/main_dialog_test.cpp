#include <gtest/gtest.h>

#include <objbase.h>

#include "app/geometry.h"
#include "app/main_dialog.h"
#include "app/settings.h"
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

TEST_F(MainDialogTest, EverySizeKeepsTheTemplatesMargins)
{
    // The list keeps its corner and its margins to the right and bottom
    // edges; the status line its left edge, width and distance from the bottom.
    RECT client0, window0;
    GetClientRect(main.dialog, &client0);
    GetWindowRect(main.dialog, &window0);
    RECT list0 = ChildRect(IDC_WINDOW_LIST);
    RECT status0 = ChildRect(IDC_STATUS_LINE);
    auto expectLaidOut = [&](const char* after) {
        RECT client;
        GetClientRect(main.dialog, &client);
        int dx = client.right - client0.right, dy = client.bottom - client0.bottom;
        RECT list = ChildRect(IDC_WINDOW_LIST), status = ChildRect(IDC_STATUS_LINE);
        RECT wantedList = {list0.left, list0.top, list0.right + dx, list0.bottom + dy};
        RECT wantedStatus = {status0.left, status0.top + dy, status0.right, status0.bottom + dy};
        EXPECT_TRUE(EqualRect(&wantedList, &list)) << after;
        EXPECT_TRUE(EqualRect(&wantedStatus, &status)) << after;
        return dx;
    };
    SetWindowPos(main.dialog, NULL, 0, 0, RectWidth(&window0) + 40, RectHeight(&window0) + 30,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(40, expectLaidOut("larger"));
    ShowWindow(main.dialog, SW_MAXIMIZE);
    EXPECT_GT(expectLaidOut("maximised"), 40);
    ShowWindow(main.dialog, SW_RESTORE);
    expectLaidOut("restored");
    ShowWindow(main.dialog, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(main.dialog));
    ShowWindow(main.dialog, SW_RESTORE);
    expectLaidOut("minimised and restored");
    SetWindowPos(main.dialog, NULL, 0, 0, RectWidth(&window0), RectHeight(&window0),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(0, expectLaidOut("back to the first size"));
}

TEST_F(MainDialogTest, CannotBeMadeSmallerThanAtStartAndItsSizesFollowAnotherMonitorsDpiOnce)
{
    // The window's size, its smallest, the list's and status line's places,
    // the icons' size and the columns' widths (one dragged by the user).
    SendMessageA(main.list, LVM_SETCOLUMNWIDTH, 1, 123);
    auto measure = [this]() {
        RECT list = ChildRect(IDC_WINDOW_LIST), status = ChildRect(IDC_STATUS_LINE);
        MINMAXINFO min = {};
        SendMessageA(main.dialog, WM_GETMINMAXINFO, 0, (LPARAM)&min);
        int icon = 0, cy = 0;
        ImageList_GetIconSize((HIMAGELIST)SendMessageA(main.list, LVM_GETIMAGELIST, LVSIL_SMALL, 0), &icon, &cy);
        std::vector<int> sizes = {GetWindowWidth(main.dialog), GetWindowHeight(main.dialog), (int)min.ptMinTrackSize.x,
                                  (int)min.ptMinTrackSize.y, (int)list.left, (int)list.top, RectWidth(&list),
                                  RectHeight(&list), (int)status.top, RectWidth(&status), icon};
        for (int i = 0; i < 8; ++i)
            sizes.push_back((int)SendMessageA(main.list, LVM_GETCOLUMNWIDTH, i, 0));
        return sizes;
    };
    const std::vector<int> at0 = measure();
    EXPECT_TRUE(at0[0] == at0[2] && at0[1] == at0[3]);  // the smallest: as it started
    // Moved to a monitor of another scale and back (Wine never says so), it takes
    // the rectangle Windows suggests, and every size scales once, no more.
    RECT window0;
    GetWindowRect(main.dialog, &window0);
    HWND iconic = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 9, 9, NULL, NULL, NULL, NULL);  // a row with an icon
    SendMessageA(iconic, WM_SETICON, ICON_SMALL, (LPARAM)LoadIconA(NULL, IDI_APPLICATION));
    const int dpi0 = TestDpi();
    for (int dpi : {dpi0 * 3 / 2, dpi0}) {
        RECT suggested = {window0.left + 30, window0.top + 20, window0.left + 30 + MulDiv(at0[0], dpi, dpi0),
                          window0.top + 20 + MulDiv(at0[1], dpi, dpi0)}, window;
        SendMessageA(main.dialog, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi), (LPARAM)&suggested);
        GetWindowRect(main.dialog, &window);
        EXPECT_TRUE(EqualRect(&suggested, &window)) << dpi;
        std::vector<int> now = measure();
        for (size_t i = 0; i < now.size(); ++i)
            EXPECT_NEAR(MulDiv(at0[i], dpi, dpi0), now[i], 1) << dpi << " " << i;
        EXPECT_GT(ImageList_GetImageCount((HIMAGELIST)SendMessageA(main.list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), 0);
    }
    DestroyWindow(iconic);
    SetWindowPos(main.dialog, NULL, 0, 0, 50, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(GetWindowWidth(main.dialog) >= at0[0] && GetWindowHeight(main.dialog) >= at0[1]);
    EXPECT_TRUE(OnMainGetMinMaxInfo(main.dialog, nullptr));
}

TEST_F(MainDialogTest, TheSystemMenusAlwaysOnTopItemTogglesAndIsRemembered)
{
    HMENU system = GetSystemMenu(main.dialog, FALSE);
    int maximise = FindMenuItemPos(system, SC_MAXIMIZE);
    ASSERT_GE(maximise, 0);
    EXPECT_EQ(maximise + 1, FindMenuItemPos(system, CMD_ALWAYS_ON_TOP));
    EXPECT_EQ("常に最前面に表示(&T)", MenuText(system, CMD_ALWAYS_ON_TOP));
    EXPECT_EQ(-1, FindMenuItemPos(system, 12345));
    wchar_t path[SETTINGS_PATH_SIZE];
    ASSERT_TRUE(GetModulePathWithExtW(path, SETTINGS_PATH_SIZE, L".ini"));
    DeleteFileW(path);
    for (BYTE on : {1, 0}) {
        SendMessageA(main.dialog, WM_SYSCOMMAND, CMD_ALWAYS_ON_TOP, 0);
        EXPECT_EQ(on, IsTopmost(main.dialog));
        EXPECT_EQ(on, main.state->alwaysOnTop);
        // The session ends without a quit: the logoff goes ahead, and the
        // setting is saved once it is sure to end.
        EXPECT_NE(0, SendMessageA(main.dialog, WM_QUERYENDSESSION, 0, 0));
        SendMessageA(main.dialog, WM_ENDSESSION, FALSE, 0);
        EXPECT_EQ(on ? 9 : 1, ReadSettingFlag(path, SETTINGS_SECTION, "ウィンドウを最前面に表示", 9));
        SendMessageA(main.dialog, WM_ENDSESSION, TRUE, 0);
        EXPECT_EQ(on, ReadSettingFlag(path, SETTINGS_SECTION, "ウィンドウを最前面に表示", 9));
    }
    DeleteFileW(path);
    for (BOOL topmost : {TRUE, FALSE}) {  // set by other means: the mark shows it when any menu opens
        SetTopmostState(main.dialog, topmost);
        InitMenuPopup(main.dialog, topmost ? system : GetSubMenu(GetMenu(main.dialog), 0));
        EXPECT_EQ(topmost ? (UINT)MF_CHECKED : 0u, MenuState(system, CMD_ALWAYS_ON_TOP) & MF_CHECKED);
    }
    InitMenuPopup(main.dialog, NULL);  // no menu: nothing to set but the system menu's mark
    EXPECT_FALSE(ToggleAlwaysOnTop(main.dialog, SC_KEYMENU));
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
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), IconWidth((HICON)SendMessageA(main.dialog, WM_GETICON, ICON_BIG, 0)));
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), IconWidth((HICON)SendMessageA(main.dialog, WM_GETICON, ICON_SMALL, 0)));
}

namespace {
HRESULT comDuringTheRun;

// Inside the program's message loop: how COM stands, then quit.
void CALLBACK LookAndQuit(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(NULL, timer);
    comDuringTheRun = CoInitializeEx(NULL, COINIT_MULTITHREADED);
    for (HWND dialog : VisibleDialogs([](HWND window) { return GetWindowThreadProcessId(window, NULL) == GetCurrentThreadId(); }))
        PostMessageA(dialog, WM_COMMAND, CMD_QUIT, 0);
}
}  // namespace

TEST(MainDialogStartTest, ARunHasComInAnApartmentUntilItEndsAndNoDialogMeansAFailureExitCode)
{
    SetTimer(NULL, 0, 50, LookAndQuit);
    EXPECT_EQ(0, RunMainDialog(GetModuleHandleA(NULL)));
    EXPECT_EQ(RPC_E_CHANGED_MODE, comDuringTheRun);  // initialised apartment-threaded
    EXPECT_EQ(S_OK, CoInitializeEx(NULL, COINIT_MULTITHREADED));  // and uninitialised at the end
    CoUninitialize();
    wchar_t settings[SETTINGS_PATH_SIZE];
    if (GetModulePathWithExtW(settings, SETTINGS_PATH_SIZE, L".ini"))
        DeleteFileW(settings);
    // From then on a library asked for by name is taken from the system
    // folder only, never from the program's.
    PlantedFile beside(TestExeDirectory() + "\\planted\\rsrc32.dll", TestExeDirectory() + "\\rsrc32.dll");
    ASSERT_TRUE(beside.planted);
    EXPECT_EQ(nullptr, LoadLibraryA("rsrc32.dll"));
    // A module without the dialog template: the dialog cannot be created.
    EXPECT_NE(0, RunMainDialog(GetModuleHandleA("kernel32.dll")));
}
