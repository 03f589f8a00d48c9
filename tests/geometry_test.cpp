#include <gtest/gtest.h>

#include "app/geometry.h"
#include "tests/fixture_windows.h"

namespace {
const RECT WORK = {0, 0, 1000, 700};
POINT At(int x, int y) { return POINT{x, y}; }
}  // namespace

TEST(PlacementTest, CentresOnTheCursorWithTruncation)
{
    POINT p = ComputeCursorPlacement(At(500, 300), 101, 51, &WORK);
    EXPECT_EQ(450, p.x);  // 101 / -2 truncates to -50
    EXPECT_EQ(275, p.y);
}

TEST(PlacementTest, StaysInsideTheWorkAreaNearEveryEdge)
{
    const RECT work = {20, 10, 1000, 700};  // a taskbar on the left and top
    const POINT cursors[] = {At(0, 0), At(999, 0), At(0, 699), At(999, 699), At(500, 0), At(0, 350),
                             At(999, 350), At(500, 699), At(-50, -50), At(2000, 2000)};
    for (POINT cursor : cursors) {
        POINT p = ComputeCursorPlacement(cursor, 300, 200, &work);
        EXPECT_GE(p.x, work.left);
        EXPECT_GE(p.y, work.top);
        EXPECT_LE(p.x + 300, work.right);
        EXPECT_LE(p.y + 200, work.bottom);
    }
    POINT corner = ComputeCursorPlacement(At(999, 699), 300, 200, &work);
    EXPECT_EQ(700, corner.x);  // touches the work area's edge, not the screen's
    EXPECT_EQ(500, corner.y);
}

TEST(PlacementTest, OversizedWindowAlignsWithTopLeft)
{
    POINT p = ComputeCursorPlacement(At(900, 600), 1200, 900, &WORK);
    EXPECT_EQ(0, p.x);
    EXPECT_EQ(0, p.y);
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

TEST(TopmostTest, ChangesOnlyTheZOrder)
{
    FixtureThread* fixtures = StartFixtureThread();
    FixtureSpec wanted;
    HWND window = CreateFixtureWindow(fixtures, wanted);
    RECT before;
    GetWindowRect(window, &before);
    ResetFixtureLog(window);
    EXPECT_TRUE(SetTopmostState(window, TRUE));
    EXPECT_TRUE(IsTopmost(window));
    EXPECT_TRUE(SetTopmostState(window, FALSE));
    EXPECT_FALSE(IsTopmost(window));
    PumpMessagesFor(50);
    RECT after;
    GetWindowRect(window, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    FixtureLog* log = GetFixtureLog(window);
    EXPECT_EQ(0, log->posChanging);
    EXPECT_EQ(0, log->activations);
    EXPECT_EQ(0, log->moves + log->sizes);
    StopFixtureThread(fixtures);
}
