#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "app/geometry.h"
#include "resources/resource_ids.h"
#include "tests/fixture_windows.h"

namespace {
POINT At(int x, int y) { return POINT{x, y}; }

// Monitors the test machine does not have, each a screen and a work area.
struct StandInMonitor { RECT screen, work; };
std::vector<StandInMonitor> monitors;
DWORD askedFlags;

HMONITOR WINAPI MonitorAt(POINT point, DWORD flags)
{
    askedFlags = flags;
    for (size_t i = 0; i < monitors.size(); ++i)
        if (PtInRect(&monitors[i].screen, point))
            return (HMONITOR)(i + 1);
    return NULL;
}

BOOL WINAPI StandInMonitorInfo(HMONITOR monitor, LPMONITORINFO info)
{
    info->rcMonitor = monitors[(size_t)monitor - 1].screen;
    info->rcWork = monitors[(size_t)monitor - 1].work;
    return TRUE;
}

INT_PTR CALLBACK TemplateOnlyProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
}  // namespace

TEST(PlacementTest, EachDialogIsCentredOnTheCursorInsideTheWorkAreaOfTheMonitorUnderIt)
{
    const RECT screen = {0, 0, 1280, 1024};  // the test display's
    const std::vector<StandInMonitor> right = {{screen, screen}, {{1280, 0, 3200, 1080}, {1280, 0, 3200, 1040}}},
        left = {{screen, {0, 0, 1280, 984}}, {{-1920, -56, 0, 1024}, {-1920, -56, 0, 1024}}},
        above = {{screen, screen}, {{-200, -1080, 1720, 0}, {-200, -1080, 1720, 0}}},
        bars = {{screen, {0, 40, 1280, 1024}}, {{1280, 0, 2560, 1024}, {1360, 0, 2560, 1024}}},
        halves = {{{0, 0, 900, 1024}, {0, 0, 900, 1024}}, {{900, 0, 1280, 1024}, {900, 40, 1280, 1024}}},
        tiny = {{{0, 0, 200, 100}, {0, 0, 200, 100}}}, none = {};
    // Where a corner goes on each axis: base, less half the size (centred
    // on the cursor) or all of it (against the far edge).
    enum Side { EDGE, MIDDLE, FAR_EDGE };
    struct Axis { int base; Side side; };
    struct Case { const std::vector<StandInMonitor>* desktop; POINT cursor; Axis x, y; };
    const Case cases[] = {
        {&right, At(640, 512), {640, MIDDLE}, {512, MIDDLE}}, {&right, At(1279, 1023), {1280, FAR_EDGE}, {1024, FAR_EDGE}},
        {&right, At(1792, 384), {1792, MIDDLE}, {384, MIDDLE}}, {&right, At(1300, 1079), {1280, EDGE}, {1040, FAR_EDGE}},
        {&right, At(3199, 5), {3200, FAR_EDGE}, {0, EDGE}},        {&left, At(-1900, -50), {-1920, EDGE}, {-56, EDGE}},
        {&left, At(-10, 1020), {0, FAR_EDGE}, {1024, FAR_EDGE}},        {&left, At(10, 1020), {0, EDGE}, {984, FAR_EDGE}},
        {&above, At(960, -5), {960, MIDDLE}, {0, FAR_EDGE}},       {&above, At(-150, -1075), {-200, EDGE}, {-1080, EDGE}},
        {&bars, At(600, 10), {600, MIDDLE}, {40, EDGE}},      {&bars, At(1290, 500), {1360, EDGE}, {500, MIDDLE}},
        {&halves, At(890, 500), {900, FAR_EDGE}, {500, MIDDLE}},   {&halves, At(910, 5), {900, EDGE}, {40, EDGE}},
        {&tiny, At(150, 50), {0, EDGE}, {0, EDGE}},           // too large: at the work area's top left
        {&none, At(1792, 384), {1280, FAR_EDGE}, {384, MIDDLE}},   // no monitor functions: the primary work area
        {nullptr, At(1270, 500), {1280, FAR_EDGE}, {500, MIDDLE}},  // the system's own functions
    };
    const DesktopFunctions* system = GetDesktopFunctions();  // looked up by name: the system's own
    EXPECT_TRUE(system->monitorFromPoint == MonitorFromPoint && system->monitorFromWindow == MonitorFromWindow &&
                system->getMonitorInfo == GetMonitorInfoA && system->getWindowPlacement == GetWindowPlacement);
    EXPECT_EQ((void*)GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow"), (void*)system->getDpiForWindow);
    const char* dialogs[] = {MAKEINTRESOURCEA(IDD_MAIN_DIALOG), "WINDOWINFO_BOX", "ABOUT_BOX"};
    InitCommonControls();
    for (const char* name : dialogs) {
        HWND dialog = CreateDialogParamA(GetModuleHandleA(NULL), name, NULL, TemplateOnlyProc, 0);
        SIZE size;
        GetWindowSize(dialog, &size);
        for (const Case& c : cases) {
            monitors = c.desktop != nullptr ? *c.desktop : std::vector<StandInMonitor>{{screen, screen}};
            DesktopFunctions standIns = SetDesktopFunctions(nullptr);
            standIns.monitorFromPoint = monitors.empty() ? nullptr : MonitorAt;
            standIns.getMonitorInfo = monitors.empty() ? nullptr : StandInMonitorInfo;
            SetDesktopFunctions(c.desktop != nullptr ? &standIns : nullptr);
            askedFlags = c.desktop != nullptr ? 0 : MONITOR_DEFAULTTONEAREST;
            POINT p = ChooseCursorPlacement(c.cursor, size.cx, size.cy);
            if (PtInRect(&screen, c.cursor)) {  // where the real pointer can go, the real dialog
                SetCursorPos(c.cursor.x, c.cursor.y);
                PlaceNearCursor(dialog);
                GetWindowOrigin(dialog, &p);
            }
            SetDesktopFunctions(nullptr);
            auto at = [](Axis a, int extent) {
                return a.base - (a.side == MIDDLE ? extent / 2 : a.side == FAR_EDGE ? extent : 0);
            };
            EXPECT_EQ(at(c.x, size.cx), p.x) << c.cursor.x << "," << c.cursor.y << " " << size.cx;
            EXPECT_EQ(at(c.y, size.cy), p.y) << c.cursor.x << "," << c.cursor.y << " " << size.cy;
            EXPECT_EQ(monitors.empty() ? 0u : MONITOR_DEFAULTTONEAREST, askedFlags);
        }
        DestroyWindow(dialog);
    }
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
