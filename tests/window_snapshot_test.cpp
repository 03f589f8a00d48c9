#include <gtest/gtest.h>

#include <string.h>

#include "catalogue/window_snapshot.h"
#include "tests/fixture_windows.h"

class SnapshotTest : public ::testing::Test {
protected:
    void SetUp() override { fixtures = StartFixtureThread(); }
    void TearDown() override { StopFixtureThread(fixtures); }
    FixtureThread* fixtures = nullptr;
    WindowSnapshot snapshot;
};

TEST_F(SnapshotTest, ReadsTextsStylesFlagsAndTheRestoredRectangle)
{
    // The adjusted fixture, then show state and the visible, enabled and topmost flags.
    struct Case { void (*adjust)(FixtureSpec*); uint32_t showCmd; BYTE visible, enabled, topmost; };
    const Case cases[] = {{Topmost, 1, 1, 1, 1},   {Minimised, 2, 1, 1, 0}, {Maximised, 3, 1, 1, 0},
                          {Hidden, 1, 0, 1, 0},    {Disabled, 1, 1, 0, 0}};
    for (const Case& c : cases) {
        FixtureSpec wanted;
        wanted.title = "スナップショット";
        wanted.rect = {100, 110, 400, 330};
        c.adjust(&wanted);
        HWND window = CreateFixtureWindow(fixtures, wanted);
        memset(&snapshot, 0xCC, sizeof(snapshot));
        EXPECT_TRUE(CaptureWindowSnapshot(window, &snapshot));
        SCOPED_TRACE(c.showCmd);
        EXPECT_EQ(window, snapshot.hwnd);
        EXPECT_STREQ("スナップショット", snapshot.title);
        EXPECT_STREQ("VantoraFixture", snapshot.className);
        EXPECT_EQ((uint32_t)GetWindowLongA(window, GWL_STYLE), snapshot.style);
        EXPECT_EQ((uint32_t)GetWindowLongA(window, GWL_EXSTYLE), snapshot.exStyle);
        EXPECT_EQ(c.showCmd, snapshot.showCmd);
        EXPECT_EQ(c.visible, snapshot.visible);  // exactly 0 or 1
        EXPECT_EQ(c.enabled, snapshot.enabled);
        EXPECT_EQ(c.topmost, snapshot.topmost);
        EXPECT_EQ(100, snapshot.left);  // the restored rectangle, whatever the state
        EXPECT_EQ(110, snapshot.top);
        EXPECT_EQ(300, snapshot.width);
        EXPECT_EQ(220, snapshot.height);
    }
}

TEST_F(SnapshotTest, TitleLongerThanTheFieldIsCutAt32766Bytes)
{
    FixtureSpec wanted;
    wanted.title = std::string(40000, 'x');
    HWND window = CreateFixtureWindow(fixtures, wanted);
    ASSERT_EQ(40000, GetWindowTextLengthA(window));
    CaptureWindowSnapshot(window, &snapshot);
    EXPECT_EQ(32766u, strlen(snapshot.title));
}

TEST_F(SnapshotTest, IconComesFromTheWindowThenFromItsClass)
{
    FixtureSpec wanted;
    HWND none = CreateFixtureWindow(fixtures, wanted);
    wanted.ownSmallIcon = true;
    HWND own = CreateFixtureWindow(fixtures, wanted);
    wanted.ownSmallIcon = false;
    wanted.classSmallIcon = true;
    HWND fromClass = CreateFixtureWindow(fixtures, wanted);

    CaptureWindowSnapshot(none, &snapshot);
    EXPECT_EQ(nullptr, snapshot.icon);
    CaptureWindowSnapshot(own, &snapshot);
    EXPECT_EQ(FixtureOwnSmallIcon(), snapshot.icon);
    CaptureWindowSnapshot(fromClass, &snapshot);
    EXPECT_EQ(FixtureSmallIcon(), snapshot.icon);
}

TEST_F(SnapshotTest, LargeIconAloneGivesNoIcon)
{
    HWND window = CreateFixtureWindow(fixtures, FixtureSpec());
    RunOnFixtureThread(fixtures, [window] {
        SendMessageA(window, WM_SETICON, ICON_BIG, (LPARAM)LoadIconA(NULL, (LPCSTR)IDI_APPLICATION));
    });
    CaptureWindowSnapshot(window, &snapshot);
    EXPECT_EQ(nullptr, snapshot.icon);
}

TEST_F(SnapshotTest, DestroyedWindowGivesZeroRecordWithHandle)
{
    HWND window = CreateFixtureWindow(fixtures, FixtureSpec());
    DestroyFixtureWindow(fixtures, window);
    memset(&snapshot, 0xCC, sizeof(snapshot));
    EXPECT_TRUE(CaptureWindowSnapshot(window, &snapshot));
    EXPECT_EQ(window, snapshot.hwnd);
    EXPECT_STREQ("", snapshot.title);
    EXPECT_STREQ("", snapshot.className);
    EXPECT_EQ(0u, snapshot.style);
    EXPECT_EQ(0u, snapshot.exStyle);
    EXPECT_EQ(0, snapshot.visible + snapshot.enabled + snapshot.topmost);
    EXPECT_EQ(0u, snapshot.showCmd);
    EXPECT_EQ(0, snapshot.left | snapshot.top | snapshot.width | snapshot.height);
    EXPECT_EQ(nullptr, snapshot.icon);
}

TEST_F(SnapshotTest, WindowThatSitsOnTheIconQueryAnswersNoIconWithinTheWait)
{
    HWND busy = CreateTitledFixture(fixtures, "busy-snapshot", SlowIcon);
    CaptureWindowSnapshot(busy, &snapshot);
    EXPECT_TRUE(FixtureBusyWithIconQuery());  // came back without waiting for it
    EXPECT_STREQ("busy-snapshot", snapshot.title);
    EXPECT_EQ(nullptr, snapshot.icon);
    // A memo of silent threads skips the query for the thread's other windows.
    SilentThreads silent;
    CaptureWindowSnapshotAmong(busy, &snapshot, &silent);
    size_t noted = silent.ids.size();
    CaptureWindowSnapshotAmong(busy, &snapshot, &silent);
    ReleaseSlowIcons();
    EXPECT_EQ(1u, noted);
    EXPECT_EQ(1u, silent.ids.size());
}
