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

// What the program asked of the shell, in order. The requests stop here:
// under Wine an icon makes the desktop process keep a taskbar, which slows
// every window that later tests create.
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
    return TRUE;
}

std::string Messages()
{
    std::string text;
    for (const Request& r : requests)
        text += r.message == NIM_ADD ? "add " : r.message == NIM_DELETE ? "delete " : "other ";
    return text;
}

}  // namespace

class TrayIconTest : public MainDialogWithFixtures {
protected:
    void SetUp() override
    {
        MainDialogWithFixtures::SetUp();
        requests.clear();
        realNotifier = SetTrayNotifier(RecordRequest);
    }
    void TearDown() override
    {
        if (IsWindow(main.dialog) && !IsWindowVisible(main.dialog))
            LeaveTray(main.dialog);
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
    // Whether the timer ran (it is stopped by the asking).
    bool TimerRan(UINT_PTR id) { return KillTimer(main.dialog, id) != FALSE; }
    void WatchTick() { TrayWatchTimerProc(main.dialog, WM_TIMER, TRAY_WATCH_TIMER, 0); }
    void ExpectOurIcon(const NOTIFYICONDATAA& data)
    {
        EXPECT_EQ((DWORD)NOTIFYICONDATAA_V1_SIZE, data.cbSize);
        EXPECT_EQ(main.dialog, data.hWnd);
        EXPECT_EQ(1u, data.uID);
        EXPECT_EQ(7u, data.uFlags);
        EXPECT_EQ(0x8000u, data.uCallbackMessage);
        EXPECT_STREQ("Vantora", data.szTip);
        for (size_t i = strlen(data.szTip); i < TRAY_TIP_SIZE; ++i)
            ASSERT_EQ(0, data.szTip[i]) << i;
        EXPECT_EQ(16, IconWidth(data.hIcon));
    }
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

TEST_F(TrayIconTest, MinimisingHidesTheDialogAndAddsTheIconOnceAndWatchesTheTaskbar)
{
    Minimise();
    EXPECT_FALSE(IsWindowVisible(main.dialog));
    ASSERT_EQ("add ", Messages());
    ExpectOurIcon(requests[0].data);
    EXPECT_TRUE(TimerRan(TRAY_WATCH_TIMER));
    // Entering again (a second minimise) never leaves two icons or a lost handle.
    EnterTray(main.dialog);
    EXPECT_EQ("add delete add ", Messages());
    EXPECT_EQ(0, IconWidth(requests[0].data.hIcon));
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
    EXPECT_EQ(0, IconWidth(requests[0].data.hIcon));  // its handle given back
    EXPECT_EQ(main.dialog, requests[1].data.hWnd);
    EXPECT_EQ(1u, requests[1].data.uID);
    EXPECT_FALSE(TimerRan(TRAY_CLICK_TIMER));  // no single click left to open the menu
    EXPECT_FALSE(TimerRan(TRAY_WATCH_TIMER));
}

TEST_F(TrayIconTest, SingleClickOpensTheUndoMenuOnceTheDoubleClickTimeIsOver)
{
    HWND window = Fixture("undone from the tray");
    Minimise();
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, NULL, NULL, NULL, NULL);
    SetForegroundWindow(other);
    // A double click may still follow: nothing yet, the click timer runs.
    ShownMenu early = ReadNextMenu([this] {
        Mouse(WM_LBUTTONDOWN);
        Mouse(WM_LBUTTONUP);
        PumpMessagesFor(50);
    });
    EXPECT_FALSE(early.shown);
    EXPECT_TRUE(TimerRan(TRAY_CLICK_TIMER));
    ShownMenu menu = ReadNextMenu([this] { TrayClickTimerProc(main.dialog, WM_TIMER, TRAY_CLICK_TIMER, 0); });
    EXPECT_EQ("(なし)", menu.firstItem);  // the greyed placeholder
    EXPECT_EQ(main.dialog, menu.foreground);  // so that a click elsewhere closes it
    DestroyWindow(other);

    // A toggle made before, undone from the icon's menu, dialog still hidden.
    LeaveTray(main.dialog);
    ASSERT_GE(SelectListRowOfWindow(main.list, window), 0);
    SendCommand(main.dialog, CMD_ENABLE);
    ASSERT_FALSE(IsWindowEnabled(window));
    Minimise();
    menu = ReadNextMenu([this] { SendMessageA(main.dialog, WM_APP, TRAY_ICON_ID, WM_CONTEXTMENU); });
    ASSERT_EQ((UINT)CMD_UNDO_FIRST, menu.firstId);
    SendCommand(main.dialog, menu.firstId);
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_FALSE(IsWindowVisible(main.dialog));
}

TEST_F(TrayIconTest, RightButtonAndOtherMouseMessagesDoNothing)
{
    Minimise();
    ShownMenu menu = ReadNextMenu([this] {
        for (UINT message : {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_MOUSEMOVE, WM_MBUTTONDOWN})
            EXPECT_EQ(0, Mouse(message)) << message;
    });
    EXPECT_FALSE(menu.shown);
    EXPECT_FALSE(TimerRan(TRAY_CLICK_TIMER));
    EXPECT_FALSE(IsWindowVisible(main.dialog));
    EXPECT_EQ("add ", Messages());
}

TEST_F(TrayIconTest, ClosingFromEitherStateTakesTheIconAwayHarmlessly)
{
    SendCommand(main.dialog, CMD_QUIT);  // never in the tray: the delete fails quietly
    EXPECT_FALSE(IsWindow(main.dialog));
    main = UseSharedMainDialog();  // a new one
    requests.clear();
    Minimise();
    SendCommand(main.dialog, CMD_QUIT);
    EXPECT_FALSE(IsWindow(main.dialog));
    EXPECT_EQ("add delete ", Messages());
}

TEST_F(TrayIconTest, TheIconIsAddedAgainWhenANotificationAreaAppears)
{
    Minimise();  // with no notification area to be found
    WatchTick();
    EXPECT_EQ("add ", Messages());
    HWND taskbar = MakeTaskbar();
    WatchTick();
    WatchTick();  // the same notification area: nothing more
    EXPECT_EQ("add delete add ", Messages());
    // The taskbar restarts: a new notification area, the icon once more.
    DestroyWindow(taskbar);
    taskbar = MakeTaskbar();
    WatchTick();
    EXPECT_EQ("add delete add delete add ", Messages());
    ExpectOurIcon(requests.back().data);
    DestroyWindow(taskbar);
}
