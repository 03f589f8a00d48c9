#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <string.h>

#include <string>
#include <vector>

#include "catalogue/list_sort.h"
#include "catalogue/window_list.h"
#include "operations/undo_history.h"
#include "resources/resource_ids.h"
#include "tests/dialog_harness.h"
#include "tests/fixture_windows.h"
#include "tray/tray_icon.h"

namespace {

// What the program asked of the shell, in order; each request still goes on
// to the real Shell_NotifyIconA.
struct Request {
    DWORD message;
    NOTIFYICONDATAA data;
};
std::vector<Request> requests;
TrayNotifier realNotifier;

BOOL WINAPI RecordRequest(DWORD message, PNOTIFYICONDATAA data)
{
    Request request = {message, {}};
    memcpy(&request.data, data, data->cbSize <= sizeof(request.data) ? data->cbSize : sizeof(request.data));
    requests.push_back(request);
    return realNotifier(message, data);
}

std::string Messages()
{
    std::string text;
    for (const Request& r : requests)
        text += r.message == NIM_ADD ? "add " : r.message == NIM_DELETE ? "delete " : "other ";
    return text;
}

// The Undo menu shown from the icon: its first item and id are read, then it
// is closed. Seen from the owner's side (WM_ENTERIDLE while a menu waits),
// since the menu may be opened from inside a timer callback, where further
// thread timers of the test would not run.
std::string shownItem;
UINT shownId;
WNDPROC dialogProc;

LRESULT CALLBACK ReadAndCloseMenu(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU) {
        HMENU menu = (HMENU)SendMessageA((HWND)lParam, MN_GETHMENU, 0, 0);
        shownItem = MenuText(menu, 0, MF_BYPOSITION);
        shownId = GetMenuItemID(menu, 0);
        EndMenu();
    }
    return CallWindowProcA(dialogProc, window, message, wParam, lParam);
}

}  // namespace

class TrayIconTest : public MainDialogWithFixtures {
protected:
    void SetUp() override
    {
        MainDialogWithFixtures::SetUp();
        requests.clear();
        realNotifier = SetTrayNotifier(RecordRequest);
        shownItem.clear();
        shownId = 0;
        dialogProc = (WNDPROC)SetWindowLongPtrA(main.dialog, GWLP_WNDPROC, (LONG_PTR)ReadAndCloseMenu);
    }
    void TearDown() override
    {
        if (main.dialog != NULL && !IsWindowVisible(main.dialog))
            LeaveTray(main.dialog);
        if (main.dialog != NULL && IsWindow(main.dialog))
            SetWindowLongPtrA(main.dialog, GWLP_WNDPROC, (LONG_PTR)dialogProc);
        SetTrayNotifier(realNotifier);
        MainDialogWithFixtures::TearDown();
    }
    // As the user would: the dialog is active when its minimise box is clicked.
    void Minimise()
    {
        SetForegroundWindow(main.dialog);
        ShowWindow(main.dialog, SW_MINIMIZE);
        PumpMessagesFor(0);
    }
    // The dialog manager keeps a procedure's "handled" to itself, so the
    // handler is asked directly for what it answers.
    int Mouse(UINT message) { return OnTrayNotify(main.dialog, TRAY_ICON_ID, message); }
    // A taskbar of the test's own, under the shell's class names, with a
    // notification area in it (Wine's taskbar has none).
    HWND MakeTaskbar()
    {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = DefWindowProcA;
            wc.hInstance = GetModuleHandleA(NULL);
            wc.lpszClassName = "Shell_TrayWnd";
            RegisterClassA(&wc);
            wc.lpszClassName = "TrayNotifyWnd";
            RegisterClassA(&wc);
            registered = true;
        }
        HWND taskbar = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Shell_TrayWnd", "", WS_POPUP, 0, 0, 10, 10,
                                       NULL, NULL, NULL, NULL);
        CreateWindowExA(0, "TrayNotifyWnd", "", WS_CHILD, 0, 0, 5, 5, taskbar, NULL, NULL, NULL);
        return taskbar;
    }
};

TEST_F(TrayIconTest, MinimisingHidesTheDialogAndAddsTheIcon)
{
    Minimise();
    EXPECT_FALSE(IsWindowVisible(main.dialog));
    ASSERT_EQ("add ", Messages());
    const NOTIFYICONDATAA& added = requests[0].data;
    EXPECT_EQ((DWORD)NOTIFYICONDATAA_V1_SIZE, added.cbSize);
#ifndef _WIN64
    EXPECT_EQ(88u, added.cbSize);
#endif
    EXPECT_EQ(main.dialog, added.hWnd);
    EXPECT_EQ(1u, added.uID);
    EXPECT_EQ(7u, added.uFlags);
    EXPECT_EQ(0x8000u, added.uCallbackMessage);
    EXPECT_STREQ("Vantora", added.szTip);
    for (size_t i = strlen(added.szTip); i < TRAY_TIP_SIZE; ++i)
        ASSERT_EQ(0, added.szTip[i]) << i;
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(added.hIcon, &info));
    BITMAP bitmap = {};
    GetObjectA(info.hbmColor, sizeof(bitmap), &bitmap);
    EXPECT_EQ(16, bitmap.bmWidth);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

TEST_F(TrayIconTest, DoubleClickBringsTheDialogBackRefreshedAndRemovesTheIcon)
{
    Minimise();
    HWND late = CreateTitledFixture(fixtures, "listed on return");
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK})
        EXPECT_EQ(1, Mouse(message));
    EXPECT_FALSE(IsWindowVisible(main.dialog));  // not before the last release
    EXPECT_EQ(1, Mouse(WM_LBUTTONUP));
    EXPECT_TRUE(IsWindowVisible(main.dialog));
    EXPECT_FALSE(IsIconic(main.dialog));
    EXPECT_GE(FindListRowOfWindow(main.list, late), 0);
    EXPECT_EQ("add delete ", Messages());
    EXPECT_EQ(main.dialog, requests[1].data.hWnd);
    EXPECT_EQ(1u, requests[1].data.uID);
}

TEST_F(TrayIconTest, SingleClickOpensTheUndoMenuAfterTheDoubleClickTime)
{
    HWND window = Fixture("undone from the tray");
    Minimise();
    Mouse(WM_LBUTTONDOWN);
    Mouse(WM_LBUTTONUP);
    PumpMessagesFor(GetDoubleClickTime() / 2);
    EXPECT_EQ("", shownItem);  // a double click may still follow
    PumpMessagesFor(GetDoubleClickTime() + 300);
    EXPECT_EQ("(なし)", shownItem);  // the greyed placeholder

    // A toggle made before, undone from the icon's menu, dialog still hidden.
    LeaveTray(main.dialog);
    ASSERT_GE(SelectListRowOfWindow(main.list, window), 0);
    SendCommand(main.dialog, CMD_ENABLE);
    ASSERT_FALSE(IsWindowEnabled(window));
    Minimise();
    shownId = 0;
    SendMessageA(main.dialog, WM_APP, TRAY_ICON_ID, WM_CONTEXTMENU);
    ASSERT_EQ((UINT)CMD_UNDO_FIRST, shownId);
    SendCommand(main.dialog, shownId);
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_FALSE(IsWindowVisible(main.dialog));
}

TEST_F(TrayIconTest, RightButtonAndOtherMouseMessagesDoNothing)
{
    Minimise();
    for (UINT message : {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_MOUSEMOVE, WM_MBUTTONDOWN})
        EXPECT_EQ(0, Mouse(message)) << message;
    PumpMessagesFor(GetDoubleClickTime() + 200);
    EXPECT_EQ("", shownItem);
    EXPECT_FALSE(IsWindowVisible(main.dialog));
    EXPECT_EQ("add ", Messages());
}

TEST_F(TrayIconTest, ClosingFromEitherStateTakesTheIconAwayHarmlessly)
{
    SetWindowLongPtrA(main.dialog, GWLP_WNDPROC, (LONG_PTR)dialogProc);
    SendCommand(main.dialog, CMD_QUIT);  // never in the tray: the delete fails quietly
    EXPECT_FALSE(IsWindow(main.dialog));
    CloseMainDialog(&main);
    main = OpenMainDialog(NewAppState());
    requests.clear();
    Minimise();
    SendCommand(main.dialog, CMD_QUIT);
    EXPECT_FALSE(IsWindow(main.dialog));
    EXPECT_EQ("add delete ", Messages());
}

TEST_F(TrayIconTest, TheIconIsAddedAgainWhenANotificationAreaAppears)
{
    Minimise();  // with no notification area to be found
    HWND taskbar = MakeTaskbar();
    PumpMessagesFor(TRAY_WATCH_PERIOD_MS + 500);
    EXPECT_EQ("add delete add ", Messages());
    // The taskbar restarts: a new notification area, the icon once more.
    DestroyWindow(taskbar);
    taskbar = MakeTaskbar();
    PumpMessagesFor(2 * TRAY_WATCH_PERIOD_MS + 500);
    EXPECT_EQ("add delete add delete add ", Messages());
    const NOTIFYICONDATAA& first = requests.front().data;
    const NOTIFYICONDATAA& last = requests.back().data;
    EXPECT_EQ(first.hWnd, last.hWnd);
    EXPECT_EQ(first.hIcon, last.hIcon);
    EXPECT_STREQ(first.szTip, last.szTip);
    DestroyWindow(taskbar);
}

TEST_F(TrayIconTest, EachTripToTheTrayGivesItsIconBack)
{
    for (int trip = 0; trip < 3; ++trip) {
        requests.clear();
        Minimise();
        ASSERT_EQ("add ", Messages());
        HICON icon = requests[0].data.hIcon;
        LeaveTray(main.dialog);
        ICONINFO info = {};
        EXPECT_FALSE(GetIconInfo(icon, &info)) << trip;  // destroyed with the icon's removal
    }
}
