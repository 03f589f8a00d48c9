// The hyperlink label on a real dialog, driven with real pointer positions:
// its looks are read back from the screen, its notifications from its parent.
#include <gtest/gtest.h>

#include <windows.h>

#include <string.h>

#include "about/link_label.h"
#include "resources/resource_ids.h"
#include "tests/dialog_harness.h"
#include "tests/fixture_windows.h"

namespace {

struct ParentLog {
    bool reflect;
    int clicks;
    int moves;
    int leaves;
};
ParentLog parentLog;

INT_PTR CALLBACK LinkParentProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message != WM_NOTIFY)
        return FALSE;
    const NMHDR* header = (const NMHDR*)lParam;
    if (header->code == LLN_CLICK) {
        ++parentLog.clicks;
        return TRUE;
    }
    if (header->code == LLN_MOUSEMOVE)
        ++parentLog.moves;
    else if (header->code == LLN_MOUSELEAVE)
        ++parentLog.leaves;
    else
        return FALSE;
    if (parentLog.reflect)
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, SendMessageA(header->hwndFrom, WM_NOTIFY, header->idFrom, lParam));
    return TRUE;
}

// What the label's procedure was before it became a link: records foreign
// timers, and at WM_DESTROY whether the subclass had already undone itself.
struct StaticLog {
    WNDPROC staticProc;
    UINT_PTR lastTimer;
    bool restoredAtDestroy;
    bool propertiesGoneAtDestroy;
};
StaticLog staticLog;

BOOL CALLBACK CountLinkProperty(HWND, LPCSTR name, HANDLE)
{
    // A state of 0 is stored as a null handle, so GetPropA cannot tell it apart.
    if (!IS_INTRESOURCE(name) && strncmp(name, "LLPROP_", 7) == 0)
        staticLog.propertiesGoneAtDestroy = false;
    return TRUE;
}

LRESULT CALLBACK RecordingStaticProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER)
        staticLog.lastTimer = wParam;
    if (message == WM_DESTROY) {
        staticLog.restoredAtDestroy = GetWindowLongPtrA(label, GWLP_WNDPROC) == (LONG_PTR)RecordingStaticProc;
        staticLog.propertiesGoneAtDestroy = true;
        EnumPropsA(label, CountLinkProperty);
    }
    return CallWindowProcA(staticLog.staticProc, label, message, wParam, lParam);
}

struct Look {
    bool blue = false;
    bool red = false;
    bool framed = false;
    bool plainFace = true;  // every pixel the dialog face colour
};

class LinkLabelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parentLog = ParentLog{};
        staticLog = StaticLog{};
        dialog = CreateDialogParamA(GetModuleHandleA(NULL), "ABOUT_BOX", NULL, LinkParentProc, 0);
        ASSERT_NE(nullptr, dialog);
        SetWindowPos(dialog, HWND_TOPMOST, 100, 100, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        label = GetDlgItem(dialog, IDC_ABOUT_LINK);
        SetWindowTextA(label, "https://example.test/");
        staticLog.staticProc = (WNDPROC)SetWindowLongPtrA(label, GWLP_WNDPROC, (LONG_PTR)RecordingStaticProc);
        MakeLinkLabel(label);
        PumpMessagesFor(50);
    }
    void TearDown() override
    {
        if (GetCapture() != NULL)
            ReleaseCapture();
        DestroyWindow(dialog);
    }

    POINT Inside() { return CentreOf(label); }
    POINT Outside()
    {
        RECT r;
        GetClientRect(dialog, &r);
        POINT p = {4, r.bottom - 4};  // the dialog's own body, below the controls
        ClientToScreen(dialog, &p);
        return p;
    }
    // Moves the real pointer and delivers the message as the system would:
    // to the window holding the capture, else to the one under the pointer.
    void Mouse(UINT message, POINT at)
    {
        SetCursorPos(at.x, at.y);
        HWND target = GetCapture() != NULL ? GetCapture() : WindowFromPoint(at);
        POINT client = at;
        ScreenToClient(target, &client);
        SendMessageA(target, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(client.x, client.y));
        PumpMessagesFor(30);  // lets the hover timer tick and the label repaint
    }
    Look LookOfLabel()
    {
        UpdateWindow(label);
        RECT r;
        GetClientRect(label, &r);
        Look look;
        HDC dc = GetDC(label);
        COLORREF face = GetSysColor(COLOR_BTNFACE);
        for (int y = 0; y < r.bottom; ++y) {
            for (int x = 0; x < r.right; ++x) {
                COLORREF c = GetPixel(dc, x, y);
                look.blue |= c == RGB(0, 0, 255);
                look.red |= c == RGB(255, 0, 0);
                look.plainFace &= c == face;
            }
        }
        const COLORREF grey = RGB(128, 128, 128);
        look.framed = GetPixel(dc, 0, 0) == grey && GetPixel(dc, r.right - 1, r.bottom - 1) == grey;
        ReleaseDC(label, dc);
        return look;
    }

    HWND dialog = NULL;
    HWND label = NULL;
};

}  // namespace

TEST_F(LinkLabelTest, HoveringTurnsItRedOnlyWhenTheParentReflects)
{
    for (bool reflect : {false, true}) {
        SCOPED_TRACE(reflect ? "reflecting parent" : "parent that does not reflect");
        parentLog = ParentLog{reflect};
        Mouse(WM_MOUSEMOVE, Inside());
        Look hovered = LookOfLabel();
        EXPECT_GT(parentLog.moves, 0);
        EXPECT_EQ(reflect, hovered.red);
        EXPECT_EQ(!reflect, hovered.blue);

        Mouse(WM_MOUSEMOVE, Outside());
        EXPECT_EQ(1, parentLog.leaves);
        EXPECT_TRUE(LookOfLabel().blue);
    }
}

TEST_F(LinkLabelTest, AClickIsAPressAndAReleaseBothOverTheLabel)
{
    parentLog.reflect = true;
    // Press, move off, release outside: nothing.
    Mouse(WM_MOUSEMOVE, Inside());
    Mouse(WM_LBUTTONDOWN, Inside());
    EXPECT_EQ(label, GetCapture());
    EXPECT_TRUE(LookOfLabel().framed);
    Mouse(WM_MOUSEMOVE, Outside());
    Look offWhilePressed = LookOfLabel();
    EXPECT_TRUE(offWhilePressed.blue);
    EXPECT_FALSE(offWhilePressed.framed);
    Mouse(WM_LBUTTONUP, Outside());
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(0, parentLog.clicks);

    // Press, move off and back, release: one click.
    Mouse(WM_LBUTTONDOWN, Inside());
    Mouse(WM_MOUSEMOVE, Outside());
    Mouse(WM_MOUSEMOVE, Inside());
    Mouse(WM_LBUTTONUP, Inside());
    EXPECT_EQ(1, parentLog.clicks);

    // Pressed elsewhere, released over the label: nothing.
    Mouse(WM_LBUTTONDOWN, Outside());
    Mouse(WM_LBUTTONUP, Inside());
    EXPECT_EQ(1, parentLog.clicks);

    // A double click's second press is not a press of the link.
    Mouse(WM_LBUTTONDBLCLK, Inside());
    EXPECT_NE(label, GetCapture());
    Mouse(WM_LBUTTONUP, Inside());
    EXPECT_EQ(1, parentLog.clicks);
}

TEST_F(LinkLabelTest, AReflectedMoveAfterThePointerHasLeftOnlyRepaints)
{
    SetCursorPos(Outside().x, Outside().y);
    ValidateRect(label, NULL);
    LinkLabelNotify late = {{label, IDC_ABOUT_LINK, LLN_MOUSEMOVE}, 0, 0};
    SendMessageA(label, WM_NOTIFY, IDC_ABOUT_LINK, (LPARAM)&late);
    EXPECT_TRUE(GetUpdateRect(label, NULL, FALSE));
    EXPECT_TRUE(LookOfLabel().blue);
}

TEST_F(LinkLabelTest, OtherTimersReachTheStaticAndDestroyUndoesTheSubclass)
{
    SetCursorPos(Outside().x, Outside().y);
    SendMessageA(label, WM_TIMER, 7, 0);
    EXPECT_EQ(7u, staticLog.lastTimer);
    SendMessageA(label, WM_TIMER, 1, 0);
    EXPECT_EQ(7u, staticLog.lastTimer);
    EXPECT_EQ(1, parentLog.leaves);

    DestroyWindow(label);
    EXPECT_TRUE(staticLog.restoredAtDestroy);
    EXPECT_TRUE(staticLog.propertiesGoneAtDestroy);
}

TEST_F(LinkLabelTest, EmptyTextPaintsTheBackgroundOnly)
{
    SetWindowTextA(label, "");
    RECT r;
    GetClientRect(label, &r);
    HDC dc = GetDC(label);
    FillRect(dc, &r, (HBRUSH)GetStockObject(BLACK_BRUSH));
    ReleaseDC(label, dc);
    InvalidateRect(label, NULL, FALSE);
    EXPECT_TRUE(LookOfLabel().plainFace);
}
