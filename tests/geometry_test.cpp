#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/geometry.h"
#include "resources/resource_ids.h"
#include "tests/fixture_windows.h"

namespace {
POINT At(int x, int y) { return POINT{x, y}; }

// Monitors the test machine does not have: each with its screen and work
// area. The cursor of each case lies on one of them.
struct StandInMonitor { RECT screen, work; };
const StandInMonitor* monitors;
int monitorCount;
DWORD askedFlags;

HMONITOR WINAPI MonitorAt(POINT point, DWORD flags)
{
    askedFlags = flags;
    for (int i = 0; i < monitorCount; ++i)
        if (PtInRect(&monitors[i].screen, point))
            return (HMONITOR)(INT_PTR)(i + 1);
    return NULL;
}

BOOL WINAPI StandInMonitorInfo(HMONITOR monitor, LPMONITORINFO info)
{
    const StandInMonitor& m = monitors[(INT_PTR)monitor - 1];
    info->rcMonitor = m.screen;
    info->rcWork = m.work;
    return TRUE;
}

void UseMonitors(const StandInMonitor* all, int count, bool functions = true)
{
    monitors = all;
    monitorCount = count;
    DesktopFunctions standIns = *GetDesktopFunctions();
    standIns.monitorFromPoint = functions ? MonitorAt : nullptr;
    standIns.getMonitorInfo = functions ? StandInMonitorInfo : nullptr;
    SetDesktopFunctions(&standIns);
}

INT_PTR CALLBACK TemplateOnlyProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The outer size of each dialog the program places at the cursor.
SIZE DialogSize(const char* name)
{
    InitCommonControls();
    HWND dialog = CreateDialogParamA(GetModuleHandleA(NULL), name, NULL, TemplateOnlyProc, 0);
    SIZE size = {};
    GetWindowSize(dialog, &size);
    DestroyWindow(dialog);
    return size;
}
}  // namespace

TEST(PlacementTest, CentresOnTheCursorInsideTheWorkAreaOfItsMonitor)
{
    const RECT screen = {0, 0, 1280, 1024};
    const StandInMonitor one[] = {{screen, screen}};
    const StandInMonitor right[] = {{screen, screen}, {{1280, 0, 3200, 1080}, {1280, 0, 3200, 1040}}};
    const StandInMonitor left[] = {{screen, {0, 0, 1280, 984}}, {{-1920, -56, 0, 1024}, {-1920, -56, 0, 1024}}};
    const StandInMonitor above[] = {{screen, screen}, {{-200, -1080, 1720, 0}, {-200, -1080, 1720, 0}}};
    const StandInMonitor taskbars[] = {{screen, {0, 40, 1280, 1024}}, {{1280, 0, 2560, 1024}, {1360, 0, 2560, 1024}}};
    // Each corner's coordinate is base + half * (the window's size / 2):
    // half -1 centres on the cursor, -2 touches the far edge, 0 the near one.
    struct Axis { int base, half; };
    struct Case { const StandInMonitor* monitors; int count; bool functions; POINT cursor; Axis x, y; };
    const Case cases[] = {
        {one, 1, true, At(640, 512), {640, -1}, {512, -1}},
        {one, 1, true, At(1279, 1023), {1280, -2}, {1024, -2}},
        {right, 2, true, At(1792, 384), {1792, -1}, {384, -1}},  // not pressed against the primary's edge
        {right, 2, true, At(1300, 1079), {1280, 0}, {1040, -2}},
        {right, 2, true, At(3199, 5), {3200, -2}, {0, 0}},
        {left, 2, true, At(-1900, -50), {-1920, 0}, {-56, 0}},
        {left, 2, true, At(-10, 1020), {0, -2}, {1024, -2}},
        {left, 2, true, At(10, 1020), {0, 0}, {984, -2}},
        {above, 2, true, At(960, -5), {960, -1}, {0, -2}},
        {above, 2, true, At(-150, -1075), {-200, 0}, {-1080, 0}},
        {taskbars, 2, true, At(600, 10), {600, -1}, {40, 0}},
        {taskbars, 2, true, At(1290, 500), {1360, 0}, {500, -1}},
        // Without the monitor functions: the primary work area, the test desktop's 1280 x 1024.
        {right, 2, false, At(1792, 384), {1280, -2}, {384, -1}},
    };
    const char* dialogs[] = {MAKEINTRESOURCEA(IDD_MAIN_DIALOG), "WINDOWINFO_BOX", "ABOUT_BOX"};
    const DesktopFunctions real = SetDesktopFunctions(nullptr);
    for (const char* dialog : dialogs) {
        SIZE size = DialogSize(dialog);
        ASSERT_GT(size.cx, 150);
        for (const Case& c : cases) {
            UseMonitors(c.monitors, c.count, c.functions);
            askedFlags = 0;
            POINT p = ChooseCursorPlacement(c.cursor, size.cx, size.cy);
            EXPECT_EQ(c.x.base + c.x.half * (size.cx / 2) - (c.x.half == -2 ? size.cx % 2 : 0), p.x)
                << c.cursor.x << "," << c.cursor.y << " " << size.cx;
            EXPECT_EQ(c.y.base + c.y.half * (size.cy / 2) - (c.y.half == -2 ? size.cy % 2 : 0), p.y)
                << c.cursor.x << "," << c.cursor.y << " " << size.cy;
            EXPECT_EQ(c.functions ? MONITOR_DEFAULTTONEAREST : 0u, askedFlags);
        }
    }
    SetDesktopFunctions(&real);
}

TEST(PlacementTest, OversizedWindowsAlignWithTheWorkAreasTopLeft)
{
    const RECT work = {20, 10, 1000, 700};
    EXPECT_EQ(At(450, 275).x, ComputeCursorPlacement(At(500, 300), 101, 51, &work).x);  // 101 / -2 truncates to -50
    POINT p = ComputeCursorPlacement(At(900, 600), 1200, 900, &work);
    EXPECT_EQ(20, p.x);
    EXPECT_EQ(10, p.y);
}

TEST(PlacementTest, PlaceNearCursorMovesARealWindowIntoTheWorkAreaOfTheMonitorUnderTheCursor)
{
    // The test screen split into two monitors, the right one with a taskbar at its top.
    const StandInMonitor halves[] = {{{0, 0, 640, 1024}, {0, 0, 640, 1024}}, {{640, 0, 1280, 1024}, {640, 40, 1280, 1024}}};
    const DesktopFunctions real = SetDesktopFunctions(nullptr);
    UseMonitors(halves, 2);
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 120, NULL, NULL, NULL, NULL);
    // Cursor, then where the window's top-left corner must end up.
    const POINT cases[][2] = {{At(630, 500), At(440, 440)}, {At(650, 5), At(640, 40)},
                              {At(1279, 1023), At(1080, 904)}, {At(0, 0), At(0, 0)}, {At(320, 512), At(220, 452)}};
    for (const auto& c : cases) {
        SetCursorPos(c[0].x, c[0].y);
        PlaceNearCursor(window);
        RECT r;
        GetWindowRect(window, &r);
        EXPECT_EQ(c[1].x, r.left) << c[0].x << "," << c[0].y;
        EXPECT_EQ(c[1].y, r.top) << c[0].x << "," << c[0].y;
    }
    DestroyWindow(window);
    SetDesktopFunctions(&real);
}

TEST(DeferTest, MoveByIsRelativeToTheParentForChildrenAndToTheScreenOtherwise)
{
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, NULL, NULL, NULL, NULL);
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 20, 50, 30, parent, NULL, NULL, NULL);
    HDWP batch = BeginDeferWindowPos(2);
    EXPECT_TRUE(DeferMoveBy(&batch, child, 5, 7));
    EXPECT_TRUE(DeferMoveBy(&batch, parent, -3, 4));
    EndDeferWindowPos(batch);
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(NULL, parent, (POINT*)&r, 2);
    EXPECT_EQ(15, r.left);
    EXPECT_EQ(27, r.top);
    GetWindowRect(parent, &r);
    EXPECT_EQ(97, r.left);
    EXPECT_EQ(104, r.top);
    DestroyWindow(parent);
}

TEST(DeferTest, FailedBatchMovesNothing)
{
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 10, 10, 50, 50, NULL, NULL, NULL, NULL);
    HDWP batch = BeginDeferWindowPos(1);
    EXPECT_FALSE(DeferMove(&batch, (HWND)(UINT_PTR)0xDEAD0, 1, 1));  // not a window
    EXPECT_EQ(nullptr, batch);
    EXPECT_FALSE(DeferMove(&batch, window, 200, 200));
    EXPECT_FALSE(DeferResizeBy(&batch, window, 10, 10));
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(10, r.left);
    EXPECT_EQ(50, RectWidth(&r));
    DestroyWindow(window);
}
