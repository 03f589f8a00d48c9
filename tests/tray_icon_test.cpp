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
        EXPECT_EQ(AtTestDpi(16, 24), IconWidth(data.hIcon));
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

namespace {
// The menus that opened while counting, each read and closed at once.
int menusOpened;
std::string firstMenuItem;
HWND foregroundWithMenu;

void CALLBACK CountMenu(HWND, UINT, UINT_PTR, DWORD)
{
    HWND menu = FindWindowA("#32768", NULL);
    if (menu == NULL || !IsWindowVisible(menu))
        return;
    if (menusOpened++ == 0) {
        firstMenuItem = MenuText((HMENU)SendMessageA(menu, MN_GETHMENU, 0, 0), 0, MF_BYPOSITION);
        foregroundWithMenu = GetForegroundWindow();
    }
    EndMenu();
}
}  // namespace

TEST_F(TrayIconTest, MouseSequencesOnTheIconAsTheyHappenWithTheClickTimerLeftToFire)
{
    const UINT L_DOWN = WM_LBUTTONDOWN, L_UP = WM_LBUTTONUP, L_DOUBLE = WM_LBUTTONDBLCLK;
    // What the icon is told, then how many menus open, whether the dialog
    // comes back, and whether the icon handles the messages at all.
    struct Case { std::vector<UINT> messages; int menus; bool restored; int handled; };
    const Case cases[] = {
        {{L_DOWN, L_UP}, 1, false, 1},                           // a single click: the Undo menu, once
        {{L_DOWN, L_UP, L_DOUBLE, L_UP}, 0, true, 1},            // a double click
        {{L_DOWN, L_UP, L_DOUBLE}, 0, false, 1},                 // not before the last release
        {{L_DOWN, L_UP, L_DOUBLE, L_DOWN, L_UP}, 1, false, 1},   // that release went elsewhere; then a click
        {{L_DOWN, L_UP, L_DOWN, L_UP}, 2, false, 1},             // two clicks slower than a double click
        {{WM_CONTEXTMENU}, 1, false, 1},
        {{WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_MOUSEMOVE, WM_MBUTTONDOWN}, 0, false, 0},
    };
    UINT doubleClickTime = GetDoubleClickTime();
    SystemParametersInfoA(SPI_SETDOUBLECLICKTIME, 60, NULL, 0);  // for this session only
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, NULL, NULL, NULL, NULL);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.messages));
        requests.clear();
        Minimise();
        HWND late = CreateTitledFixture(fixtures, "listed on return");
        SetForegroundWindow(other);
        menusOpened = 0;
        UINT_PTR counter = SetTimer(NULL, 0, USER_TIMER_MINIMUM, CountMenu);
        for (size_t i = 0; i < c.messages.size(); ++i) {
            EXPECT_EQ(c.handled, Mouse(c.messages[i]));
            // The slower clicks: the first one's menu has come and gone.
            if (c.menus == 2 && i == 1)
                PumpMessagesFor(150);
        }
        PumpMessagesFor(250);  // four double-click times: the timer fires once at most
        KillTimer(NULL, counter);
        EXPECT_EQ(c.menus, menusOpened);
        if (c.menus > 0) {
            EXPECT_EQ("(なし)", firstMenuItem);  // the greyed placeholder
            EXPECT_EQ(main.dialog, foregroundWithMenu);  // so that a click elsewhere closes it
        }
        EXPECT_EQ(c.restored, IsWindowVisible(main.dialog) != FALSE);
        EXPECT_FALSE(IsIconic(main.dialog) && c.restored);
        EXPECT_EQ(c.restored, FindListRowOfWindow(main.list, late) >= 0);
        EXPECT_EQ(c.restored ? "add delete " : "add ", Messages());
        if (c.restored)
            EXPECT_EQ(0, IconWidth(requests[0].data.hIcon));  // its handle given back
        else
            ExpectOurIcon(requests[0].data);
        EXPECT_FALSE(TimerRan(TRAY_CLICK_TIMER));
        EXPECT_EQ(!c.restored, TimerRan(TRAY_WATCH_TIMER));
        if (c.restored) {
            EXPECT_EQ(main.dialog, requests[1].data.hWnd);
            EXPECT_EQ(1u, requests[1].data.uID);
        }
        LeaveTray(main.dialog);
        DestroyFixtureWindow(fixtures, late);
    }
    DestroyWindow(other);
    SystemParametersInfoA(SPI_SETDOUBLECLICKTIME, doubleClickTime, NULL, 0);
}

TEST_F(TrayIconTest, ClosingFromEitherStateTakesTheIconAwayHarmlesslyAndNeverLeavesTwoIcons)
{
    Minimise();
    EnterTray(main.dialog);  // a second minimise: never two icons, nor a lost handle
    EXPECT_EQ("add delete add ", Messages());
    EXPECT_EQ(0, IconWidth(requests[0].data.hIcon));
    LeaveTray(main.dialog);
    requests.clear();
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
