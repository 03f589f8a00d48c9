#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/geometry.h"
#include "app/sjis_text.h"
#include "catalogue/list_sort.h"
#include "catalogue/window_list.h"
#include "operations/properties_dialog.h"
#include "resources/resource_ids.h"
#include "tests/dialog_harness.h"
#include "tests/fixture_windows.h"

namespace {

RECT NormalRect(HWND window)
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    GetWindowPlacement(window, &placement);
    return placement.rcNormalPosition;
}

// A taskbar at the top or left, which Wine cannot give: the work area
// starts `taskbar` pixels in, and the placement is given in workspace
// coordinates as on Windows, or in screen ones as Wine gives them; `snap`
// pixels away from the window, as for one snapped to a screen edge, whose
// placement keeps where it will be restored to.
POINT taskbar, origin;  // origin: the monitor's, as a second one's may be
bool workspacePlacement;
int snap;

BOOL WINAPI MonitorBesideTaskbar(HMONITOR monitor, LPMONITORINFO info)
{
    BOOL read = GetMonitorInfoA(monitor, info);
    OffsetRect(&info->rcMonitor, origin.x, origin.y);
    info->rcWork.left = info->rcMonitor.left + taskbar.x;
    info->rcWork.top = info->rcMonitor.top + taskbar.y;
    return read;
}

BOOL WINAPI PlacementBesideTaskbar(HWND window, WINDOWPLACEMENT* placement)
{
    BOOL read = GetWindowPlacement(window, placement);
    if (workspacePlacement && !(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
        OffsetRect(&placement->rcNormalPosition, -taskbar.x, -taskbar.y);
    OffsetRect(&placement->rcNormalPosition, snap, snap);
    return read;
}

}  // namespace

class PropertiesDialogTest : public MainDialogWithFixtures {
protected:
    // Opens the dialog for `window` through command 40048 and runs `action`
    // on it; returns whether the list was refreshed afterwards.
    bool Edit(HWND window, const std::function<void(HWND)>& action)
    {
        EXPECT_GE(SelectListRowOfWindow(main.list, window), 0);
        ResetFixtureLog(window);
        HWND late = CreateTitledFixture(fixtures, "appears at the next refresh");
        WhenDialogOpens(main.dialog, action);
        SendCommand(main.dialog, CMD_PROPERTIES);
        PumpMessagesFor(20);
        bool refreshed = FindListRowOfWindow(main.list, late) >= 0;
        DestroyFixtureWindow(fixtures, late);
        return refreshed;
    }
    static void SetField(HWND dialog, int id, const char* text) { SetDlgItemTextA(dialog, id, text); }
    int Applied(HWND window)
    {
        FixtureLog* log = GetFixtureLog(window);
        return log->setTexts + log->showWindows + log->posChanging + log->moves + log->sizes;
    }
};

TEST_F(PropertiesDialogTest, ShowsCaptionClassStylesAndPlacement)
{
    HWND window = Fixture("見える窓", [](FixtureSpec* s) { s->rect = {-50, 120, 250, 320}; });
    RECT normal = NormalRect(window);
    ASSERT_EQ(-50, normal.left);
    std::string caption, className, style, exStyle, left, width;
    bool titleFocused = false;
    Edit(window, [&](HWND dialog) {
        caption = WindowText(dialog);
        className = ItemText(dialog, IDC_PROP_CLASS);
        style = ItemText(dialog, IDC_PROP_STYLE);
        exStyle = ItemText(dialog, IDC_PROP_EXSTYLE);
        left = ItemText(dialog, IDC_PROP_LEFT);
        width = ItemText(dialog, IDC_PROP_WIDTH);
        titleFocused = GetFocus() == GetDlgItem(dialog, IDC_PROP_TITLE);
        ClickButton(dialog, IDCANCEL);
    });
    EXPECT_EQ("ﾌﾟﾛﾊﾟﾃｨ VantoraFixture-見える窓", caption);
    EXPECT_EQ("VantoraFixture", className);
    char expected[16];
    snprintf(expected, sizeof(expected), "%08x", (unsigned)GetWindowLongA(window, GWL_STYLE));
    EXPECT_EQ(expected, style);
    snprintf(expected, sizeof(expected), "%08x", (unsigned)GetWindowLongA(window, GWL_EXSTYLE));
    EXPECT_EQ(expected, exStyle);
    EXPECT_EQ(8u, exStyle.size());
    EXPECT_EQ(std::to_string(normal.left), left);
    EXPECT_EQ(std::to_string(normal.right - normal.left), width);
    EXPECT_TRUE(titleFocused);
}

TEST_F(PropertiesDialogTest, EachFieldIsAppliedAloneAndNothingElseChanges)
{
    // The field, its text, what OK does (or how the dialog ends), the change made.
    // "表" and "ソ" end in 0x5C. Numbers are typed key by key (a sign and five
    // digits must fit). No whole number, or one no window can take, is refused:
    // the dialog stays open with the text selected, nothing of it kept, also when
    // 最大化 is chosen then. Nothing is raised or activated. OK with no change
    // applies nothing; each OK refreshes; Cancel, Esc, the close box do neither.
    enum Ok { TAKES, REFUSES, REFUSES_THEN_MAXIMISED, CANCEL, ESC, CLOSE_BOX };
    struct Case { int field; const char* text; Ok ok; void (*expect)(WindowState*); };
    auto none = [](WindowState*) {};
    const Case cases[] = {
        {0, "", TAKES, none},
        {IDC_PROP_TITLE, "表ソ新しい", TAKES, [](WindowState* s) { s->title = "表ソ新しい"; }},
        {IDC_PROP_LEFT, "-32000", TAKES, [](WindowState* s) { OffsetRect(&s->normal, -32000 - s->normal.left, 0); }},
        {IDC_PROP_LEFT, "10000", TAKES, [](WindowState* s) { OffsetRect(&s->normal, 10000 - s->normal.left, 0); }},
        {IDC_PROP_TOP, "-1920", TAKES, [](WindowState* s) { OffsetRect(&s->normal, 0, -1920 - s->normal.top); }},
        {IDC_PROP_TOP, "－７", TAKES, [](WindowState* s) { OffsetRect(&s->normal, 0, -7 - s->normal.top); }},
        {IDC_PROP_WIDTH, "333", TAKES, [](WindowState* s) { s->normal.right = s->normal.left + 333; }},
        {IDC_PROP_HEIGHT, "　２２２ ", TAKES, [](WindowState* s) { s->normal.bottom = s->normal.top + 222; }},
        {IDC_PROP_TOP, "", REFUSES, none},
        {IDC_PROP_WIDTH, "12a", REFUSES, none},
        {IDC_PROP_HEIGHT, "50123", REFUSES, none},
        {IDC_PROP_WIDTH, "4294967296", REFUSES, none},
        {IDC_PROP_LEFT, "-40000", REFUSES, none},
        {IDC_PROP_WIDTH, "-5", REFUSES, none},
        {IDC_PROP_TITLE, "changed", CANCEL, none},
        {IDC_PROP_LEFT, "5", ESC, none},
        {IDC_PROP_TITLE, "changed", CLOSE_BOX, none},
        {IDC_PROP_LEFT, "abc", REFUSES_THEN_MAXIMISED, [](WindowState* s) { s->zoomed = true; }}};
    HWND window = Fixture("old title"), other = Fixture("above it");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        WindowState expected = ReadWindowState(window, other);
        c.expect(&expected);
        bool refusedAsWindowsDoes = false;
        EXPECT_EQ(c.ok == TAKES || c.ok == REFUSES_THEN_MAXIMISED, Edit(window, [&](HWND dialog) {
            HWND field = GetDlgItem(dialog, c.field);
            SendMessageA(field, EM_SETSEL, 0, -1);
            SendMessageA(field, WM_CLEAR, 0, 0);
            bool typed = c.field != IDC_PROP_TITLE && (BYTE)c.text[0] < 0x80;
            for (const char* key = c.text; typed && *key != '\0'; ++key)
                SendMessageA(field, WM_CHAR, (BYTE)*key, 1);
            if (!typed)
                SetField(dialog, c.field, c.text);
            if (c.ok >= CANCEL) {
                ClickButton(dialog, IDC_PROP_MAXIMIZED);
                if (c.ok == CANCEL)
                    ClickButton(dialog, IDCANCEL);
                else
                    PostMessageA(c.ok == ESC ? field : dialog, c.ok == ESC ? WM_KEYDOWN : WM_SYSCOMMAND,
                                 c.ok == ESC ? VK_ESCAPE : SC_CLOSE, 0);
                return;
            }
            ClickButton(dialog, IDOK);
            DWORD selection = (DWORD)SendMessageA(field, EM_GETSEL, 0, 0);
            refusedAsWindowsDoes = IsWindowVisible(dialog) && GetFocus() == field && LOWORD(selection) == 0 &&
                                   HIWORD(selection) == GetWindowTextLengthA(field);
            if (c.ok == REFUSES_THEN_MAXIMISED)
                ClickButton(dialog, IDC_PROP_MAXIMIZED);
            ClickButton(dialog, c.ok == REFUSES ? IDCANCEL : IDOK);
        }));
        EXPECT_EQ(1, DialogsSeen());
        EXPECT_EQ(c.ok == REFUSES || c.ok == REFUSES_THEN_MAXIMISED, refusedAsWindowsDoes);
        WindowState now = ReadWindowState(window, other);
        if (c.ok == REFUSES_THEN_MAXIMISED) {  // which activates it, and fills the screen
            expected.foreground = now.foreground;
            expected.aboveOther = now.aboveOther;
            RECT r;
            GetWindowRect(window, &r);
            EXPECT_GT(RectWidth(&r), RectWidth(&now.normal));
        }
        EXPECT_EQ(expected, now);
        EXPECT_EQ(c.field == IDC_PROP_TITLE && c.ok == TAKES, GetFixtureLog(window)->setTexts);
        EXPECT_EQ(0, GetFixtureLog(window)->showWindows);
        if (c.field == 0 || (c.ok != TAKES && c.ok != REFUSES_THEN_MAXIMISED))
            EXPECT_EQ(0, Applied(window));
    }
}

TEST_F(PropertiesDialogTest, ShowStatesFromEachStartingState)
{
    // The button checked as it opens, then the one clicked. New position and
    // size are typed while 標準 is chosen; choosing another state greys the
    // fields and drops them. With `move` they are kept: the state must come
    // first, or a maximised window would be restored to its old rectangle.
    struct Case { void (*start)(FixtureSpec*); int opening, radio; BOOL zoomed, iconic; bool move; };
    const Case cases[] = {{nullptr, IDC_PROP_NORMAL, IDC_PROP_MAXIMIZED, TRUE, FALSE, false},
                          {Maximised, IDC_PROP_MAXIMIZED, IDC_PROP_MINIMIZED, FALSE, TRUE, false},
                          {Minimised, IDC_PROP_MINIMIZED, IDC_PROP_NORMAL, FALSE, FALSE, false},
                          {Maximised, IDC_PROP_MAXIMIZED, IDC_PROP_NORMAL, FALSE, FALSE, true}};
    for (const Case& c : cases) {
        HWND window = Fixture("state", c.start);
        WindowState expected = ReadWindowState(window);
        if (c.move)
            expected.normal = {60, 70, 310, 220};
        bool fieldsEnabled = false;
        int opening = 0, enabledAfter = 0, tabbedTo = 0, arrowedTo = 0;
        Edit(window, [&](HWND dialog) {
            fieldsEnabled = IsWindowEnabled(GetDlgItem(dialog, IDC_PROP_TOP));
            for (int radio : {IDC_PROP_MAXIMIZED, IDC_PROP_NORMAL, IDC_PROP_MINIMIZED})
                opening += IsDlgButtonChecked(dialog, radio) == BST_CHECKED ? radio : 0;
            // Tab from the field before the group lands on its checked button;
            // the arrows go round the three buttons.
            MSG key = {GetDlgItem(dialog, IDC_PROP_EXSTYLE), WM_KEYDOWN, VK_TAB, 1};
            SetFocus(key.hwnd);
            IsDialogMessageA(dialog, &key);
            tabbedTo = GetDlgCtrlID(GetFocus());
            for (int i = 0; i < 3; ++i, arrowedTo += GetDlgCtrlID(GetFocus())) {
                key = {GetFocus(), WM_KEYDOWN, VK_RIGHT, 1};
                IsDialogMessageA(dialog, &key);
            }
            arrowedTo = GetDlgCtrlID(GetFocus()) == opening ? arrowedTo : 0;
            ClickButton(dialog, IDC_PROP_NORMAL);
            const char* values[] = {"60", "70", "250", "150"};
            const int fields[] = {IDC_PROP_LEFT, IDC_PROP_TOP, IDC_PROP_WIDTH, IDC_PROP_HEIGHT};
            for (int i = 0; (c.move || c.radio != IDC_PROP_NORMAL) && i < 4; ++i)
                SetField(dialog, fields[i], values[i]);
            ClickButton(dialog, c.radio);
            for (int field : fields)
                enabledAfter += IsWindowEnabled(GetDlgItem(dialog, field)) ? 1 : 0;
            ClickButton(dialog, IDOK);
        });
        SCOPED_TRACE(std::to_string(c.radio) + (c.move ? " moved" : ""));
        EXPECT_EQ(c.opening, opening);  // that one alone
        EXPECT_EQ(c.opening, tabbedTo);
        EXPECT_EQ(IDC_PROP_MAXIMIZED + IDC_PROP_NORMAL + IDC_PROP_MINIMIZED, arrowedTo);  // each once, back at the first
        EXPECT_EQ(c.start == nullptr, fieldsEnabled);
        EXPECT_EQ(c.radio == IDC_PROP_NORMAL ? 4 : 0, enabledAfter);
        // Shown in the new state (which may activate it); nothing else
        // changes, and unless moved, the fields were left as shown.
        WindowState after = ReadWindowState(window);
        expected.zoomed = c.zoomed;
        expected.iconic = c.iconic;
        expected.foreground = after.foreground;
        EXPECT_EQ(expected, after);
        DestroyFixtureWindow(fixtures, window);
    }
}

TEST_F(PropertiesDialogTest, LongTitleSurvivesAnUnchangedOkAndTheCaptionIsCutWhole)
{
    std::string title = "a";
    for (int i = 0; i < 20000; ++i)
        title += "表";  // 40,001 bytes: the snapshot's cut falls inside a character
    HWND window = Fixture(title);
    ASSERT_TRUE(title == WindowText(window));  // (too long to print on failure)
    std::string caption;
    Edit(window, [&caption](HWND dialog) {
        caption = WindowText(dialog);
        ClickButton(dialog, IDOK);
    });
    EXPECT_TRUE(title == WindowText(window));
    EXPECT_EQ(0, GetFixtureLog(window)->setTexts);
    EXPECT_LE(caption.size(), (size_t)PROPERTIES_CAPTION_SIZE - 1);
    EXPECT_GE(caption.size(), (size_t)PROPERTIES_CAPTION_SIZE - 2);
    EXPECT_EQ(0u, caption.find("ﾌﾟﾛﾊﾟﾃｨ VantoraFixture-a表表"));
    EXPECT_NE(SJIS_LEAD, SjisByteKind(caption.c_str(), caption.size() - 1));
}

TEST_F(PropertiesDialogTest, WindowGoneWhileOpenFailsSilentlyAndRefreshes)
{
    HWND window = Fixture("vanishing");
    bool refreshed = Edit(window, [this, window](HWND dialog) {
        DestroyFixtureWindow(fixtures, window);
        SetField(dialog, IDC_PROP_TITLE, "too late");
        SetField(dialog, IDC_PROP_WIDTH, "50");
        ClickButton(dialog, IDOK);
    });
    EXPECT_TRUE(refreshed);
    EXPECT_LT(FindListRowOfWindow(main.list, window), 0);
    EXPECT_TRUE(IsWindow(main.dialog));
}

TEST_F(PropertiesDialogTest, OkMovesTheWindowOnlyByWhatThePositionFieldsChangedBesideATaskbarAtTheTopOrLeft)
{
    DesktopFunctions standIns = SetDesktopFunctions(nullptr);
    standIns.getMonitorInfo = MonitorBesideTaskbar;
    standIns.getWindowPlacement = PlacementBesideTaskbar;
    SetDesktopFunctions(&standIns);
    // A window at 150,160, 300 x 200, beside a taskbar; its placement in workspace
    // coordinates (as on Windows; a tool window's in screen ones) or screen ones (as
    // Wine gives them), away from it when snapped. The fields shown, those typed
    // (none: left as shown), then where OK must put it.
    struct Fields { const char *left, *top; };
    struct Case { POINT taskbar, origin; bool workspace, tool, maximised; int snapped; Fields shown, typed; POINT lands; };
    const Case cases[] = {
        {.taskbar = {0, 40}, .shown = {"150", "160"}, .lands = {150, 160}},
        {.taskbar = {80, 0}, .shown = {"150", "160"}, .lands = {150, 160}},
        {.taskbar = {0, 40}, .workspace = true, .shown = {"150", "120"}, .lands = {150, 160}},
        {.taskbar = {80, 0}, .workspace = true, .shown = {"70", "160"}, .lands = {150, 160}},
        {.taskbar = {80, 40}, .workspace = true, .shown = {"70", "120"}, .typed = {"100", "80"}, .lands = {180, 120}},
        {.taskbar = {80, 40}, .origin = {-1920, -200}, .workspace = true, .shown = {"70", "120"}, .lands = {150, 160}},
        {.taskbar = {80, 40}, .workspace = true, .tool = true, .shown = {"150", "160"}, .typed = {"100", "80"}, .lands = {100, 80}},
        {.taskbar = {80, 40}, .shown = {"150", "160"}, .typed = {"100", "80"}, .lands = {100, 80}},
        {.taskbar = {0, 40}, .maximised = true, .shown = {"150", "160"}, .typed = {"100", "80"}, .lands = {100, 80}},
        {.taskbar = {0, 40}, .workspace = true, .maximised = true, .shown = {"150", "120"}, .typed = {"100", "80"}, .lands = {100, 120}},
        {.taskbar = {80, 40}, .workspace = true, .snapped = 20, .shown = {"90", "140"}, .lands = {170, 180}},
        {.taskbar = {80, 40}, .workspace = true, .tool = true, .snapped = 20, .shown = {"170", "180"}, .lands = {170, 180}},
    };
    for (const Case& c : cases) {
        taskbar = c.taskbar;
        origin = c.origin;
        workspacePlacement = c.workspace;
        snap = c.snapped;
        static const Case* made;
        made = &c;
        HWND window = Fixture("beside a taskbar", [](FixtureSpec* s) {
            s->rect = {150, 160, 450, 360};
            s->exStyle = made->tool ? WS_EX_TOOLWINDOW : 0;
            s->showCmd = made->maximised ? SW_SHOWMAXIMIZED : SW_SHOWNOACTIVATE;
        });
        std::string shownLeft, shownTop;
        Edit(window, [&](HWND dialog) {
            shownLeft = ItemText(dialog, IDC_PROP_LEFT);
            shownTop = ItemText(dialog, IDC_PROP_TOP);
            ClickButton(dialog, IDC_PROP_NORMAL);
            if (c.typed.left != nullptr) {
                SetField(dialog, IDC_PROP_LEFT, c.typed.left);
                SetField(dialog, IDC_PROP_TOP, c.typed.top);
            }
            SetField(dialog, IDC_PROP_WIDTH, "345");
            ClickButton(dialog, IDOK);
        });
        SCOPED_TRACE(testing::Message() << c.taskbar.x << "," << c.taskbar.y << " workspace " << c.workspace);
        EXPECT_EQ(c.shown.left, shownLeft);
        EXPECT_EQ(c.shown.top, shownTop);
        RECT r;
        GetWindowRect(window, &r);
        EXPECT_EQ(c.lands.x, r.left);
        EXPECT_EQ(c.lands.y, r.top);
        EXPECT_EQ(345, RectWidth(&r));
        EXPECT_EQ(200, RectHeight(&r));
        EXPECT_FALSE(IsZoomed(window));
    }
    snap = 0;
    origin = {0, 0};
    SetDesktopFunctions(nullptr);
}
