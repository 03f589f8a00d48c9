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

TEST_F(SnapshotTest, ReadsTextsStylesFlagsAndPlacement)
{
    FixtureSpec wanted;
    wanted.title = "スナップショット";
    wanted.exStyle = WS_EX_TOPMOST;
    wanted.rect = {100, 110, 400, 330};
    HWND window = CreateFixtureWindow(fixtures, wanted);

    EXPECT_TRUE(CaptureWindowSnapshot(window, &snapshot));
    EXPECT_EQ(window, snapshot.hwnd);
    EXPECT_STREQ("スナップショット", snapshot.title);
    EXPECT_STREQ("VantoraFixture", snapshot.className);
    EXPECT_EQ((uint32_t)GetWindowLongA(window, GWL_STYLE), snapshot.style);
    EXPECT_EQ((uint32_t)GetWindowLongA(window, GWL_EXSTYLE), snapshot.exStyle);
    EXPECT_EQ(1, snapshot.visible);
    EXPECT_EQ(1, snapshot.enabled);
    EXPECT_EQ(1, snapshot.topmost);
    EXPECT_EQ(1u, snapshot.showCmd);
    EXPECT_EQ(100, snapshot.left);
    EXPECT_EQ(110, snapshot.top);
    EXPECT_EQ(300, snapshot.width);
    EXPECT_EQ(220, snapshot.height);
}

TEST_F(SnapshotTest, MinimisedAndMaximisedKeepTheirRestoredRectangle)
{
    FixtureSpec wanted;
    wanted.rect = {150, 160, 350, 300};
    wanted.showCmd = SW_SHOWMINNOACTIVE;
    HWND minimised = CreateFixtureWindow(fixtures, wanted);
    wanted.showCmd = SW_SHOWMAXIMIZED;
    HWND maximised = CreateFixtureWindow(fixtures, wanted);

    CaptureWindowSnapshot(minimised, &snapshot);
    EXPECT_EQ(2u, snapshot.showCmd);
    EXPECT_EQ(150, snapshot.left);
    EXPECT_EQ(160, snapshot.top);
    EXPECT_EQ(200, snapshot.width);
    EXPECT_EQ(140, snapshot.height);

    CaptureWindowSnapshot(maximised, &snapshot);
    EXPECT_EQ(3u, snapshot.showCmd);
    EXPECT_EQ(150, snapshot.left);
    EXPECT_EQ(200, snapshot.width);
}

TEST_F(SnapshotTest, FlagsAreExactlyZeroOrOne)
{
    FixtureSpec wanted;
    wanted.showCmd = SW_HIDE;
    wanted.disabled = true;
    HWND window = CreateFixtureWindow(fixtures, wanted);
    memset(&snapshot, 0xCC, sizeof(snapshot));
    CaptureWindowSnapshot(window, &snapshot);
    EXPECT_EQ(0, snapshot.visible);
    EXPECT_EQ(0, snapshot.enabled);
    EXPECT_EQ(0, snapshot.topmost);
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
    DWORD start = GetTickCount();
    CaptureWindowSnapshot(busy, &snapshot);
    DWORD elapsed = GetTickCount() - start;
    // A memo of silent threads skips the query for the thread's other windows.
    SilentThreads silent;
    CaptureWindowSnapshotAmong(busy, &snapshot, &silent);
    size_t noted = silent.ids.size();
    CaptureWindowSnapshotAmong(busy, &snapshot, &silent);
    ReleaseSlowIcons();
    EXPECT_STREQ("busy-snapshot", snapshot.title);
    EXPECT_EQ(nullptr, snapshot.icon);
    EXPECT_LT(elapsed, 1000u);
    EXPECT_EQ(1u, noted);
    EXPECT_EQ(1u, silent.ids.size());
}
