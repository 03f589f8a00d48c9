#include <gtest/gtest.h>

#include "app/geometry.h"
#include "tests/fixture_windows.h"

namespace {
POINT At(int x, int y) { return POINT{x, y}; }
}  // namespace

TEST(PlacementTest, CentresOnTheCursorInsideTheWorkArea)
{
    const RECT work = {20, 10, 1000, 700};  // a taskbar on the left and top
    // Cursor, window size, then the top-left corner it must get.
    struct Case { POINT cursor; int w, h; POINT corner; };
    const Case cases[] = {
        {At(500, 300), 101, 51, At(450, 275)},   // 101 / -2 truncates to -50
        {At(999, 699), 300, 200, At(700, 500)},  // touches the work area's edge, not the screen's
        {At(0, 0), 300, 200, At(20, 10)},
        {At(2000, 2000), 300, 200, At(700, 500)},
        {At(900, 600), 1200, 900, At(20, 10)},   // too large: aligned with the top-left
    };
    for (const Case& c : cases) {
        POINT p = ComputeCursorPlacement(c.cursor, c.w, c.h, &work);
        EXPECT_EQ(c.corner.x, p.x) << c.cursor.x << "," << c.cursor.y;
        EXPECT_EQ(c.corner.y, p.y) << c.cursor.x << "," << c.cursor.y;
    }
}

TEST(PlacementTest, PlaceNearCursorMovesARealWindowIntoTheWorkArea)
{
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 120, NULL, NULL, NULL, NULL);
    RECT work;
    GetWorkArea(&work);
    POINT centre = At((work.left + work.right) / 2, (work.top + work.bottom) / 2);
    // Cursor, then where the window's top-left corner must end up.
    const POINT cases[][2] = {{At(work.left, work.top), At(work.left, work.top)},
                              {At(work.right - 1, work.bottom - 1), At(work.right - 200, work.bottom - 120)},
                              {centre, At(centre.x - 100, centre.y - 60)}};
    for (const auto& c : cases) {
        SetCursorPos(c[0].x, c[0].y);
        PlaceNearCursor(window);
        RECT r;
        GetWindowRect(window, &r);
        EXPECT_EQ(c[1].x, r.left);
        EXPECT_EQ(c[1].y, r.top);
    }
    DestroyWindow(window);
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
