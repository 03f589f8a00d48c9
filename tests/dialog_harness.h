// Opens the program's real main dialog from the real resources for a test.
#ifndef VANTORA_TESTS_DIALOG_HARNESS_H
#define VANTORA_TESTS_DIALOG_HARNESS_H

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "tests/fixture_windows.h"

struct MainDialog {
    AppState* state;
    HWND dialog;
    HWND list;
};

// A zero-filled AppState with the given filters, like LoadSettings' defaults.
AppState* NewAppState(bool showInvisible = true, bool showMinimized = true, bool showDisabled = true);
MainDialog OpenMainDialog(AppState* state);
void CloseMainDialog(MainDialog* main);
// The main dialog that the tests of a suite share, opened by the first of
// them and reset for each next one: the settings, the sort, the undo history
// and menu, topmost, the column order, no selection, a fresh list. (Opening
// and closing a dialog costs a test about 90 ms under Wine.) The suite's
// TearDownTestSuite closes it.
MainDialog UseSharedMainDialog();
void CloseSharedMainDialog();

int RowCount(HWND list);
std::string CellText(HWND list, int row, int column);
std::string RowTexts(HWND list, int row);  // all eight cells joined by '|'
int RowImage(HWND list, int row);
std::string StatusText(HWND dialog);
void SendCommand(HWND dialog, UINT id);
// Leaves the list with no selected row.
void SelectNothing(HWND list);
// The list's end-of-edit notification for `window`'s row with `text`
// (NULL: the edit was cancelled), ready to be sent to the main dialog.
NMLVDISPINFOA EndOfEdit(const MainDialog& main, HWND window, char* text);
// Sends a notification to the main dialog as its list would.
void Notify(const MainDialog& main, NMHDR* header);
// Sends WM_INITMENUPOPUP for `menu` as the system does before showing it.
void InitMenuPopup(HWND dialog, HMENU menu);
UINT MenuState(HMENU menu, UINT id);  // MF_* flags of an item by command
std::string MenuText(HMENU menu, UINT id, UINT flags = MF_BYCOMMAND);

// Runs `action` on the next dialog that `owner` owns, once it is shown,
// from a timer inside that dialog's modal loop (so `action` usually ends
// it). Returns at once; DialogsSeen counts the dialogs acted on since.
// A dialog still open a few seconds after the action fails the test and is
// ended, so that a fault cannot hang the test program.
void WhenDialogOpens(HWND owner, const std::function<void(HWND)>& action);
int DialogsSeen();
void StopWatchingForDialogs();
// The visible top-level dialogs ("#32770") that `keep` accepts.
std::vector<HWND> VisibleDialogs(const std::function<bool(HWND)>& keep);

// What a popup menu showed while it waited for input. One that cannot be
// read is closed after a few seconds and fails the test.
struct ShownMenu {
    bool shown = false;
    int items = 0;
    std::string firstItem;
    UINT firstId = 0;
    RECT rect = {};
    HWND foreground = NULL;  // the foreground window while it was shown
};
// Runs `open` and chooses the item `id` inside the popup menu it shows, as
// a user does from the keyboard: the down arrow until the item is
// highlighted, then Enter. The keys go into the menu's own loop, whichever
// window has the focus and wherever the pointer is, so the choice does not
// depend on the desktop's layout. The command the menu posts is then
// handled. `chosen` tells whether Enter was pressed on the item. With `id`
// 0 the menu is read and closed.
struct ChosenMenu : ShownMenu {
    bool chosen = false;
    bool messageFollowed = false;  // a WM_NULL was waiting once the menu had ended
};
ChosenMenu ChooseInNextMenu(const std::function<void()>& open, UINT id);

// The USER and GDI objects this process holds. Wine's GetGuiResources
// answers 0, so there they are counted one by one: the process's menus
// and every GDI object (icons and fonts hold bitmaps).
struct GuiObjects {
    DWORD user, gdi;
    bool operator==(const GuiObjects& o) const { return user == o.user && gdi == o.gdi; }
};
GuiObjects CountGuiObjects();
void PrintTo(const GuiObjects& objects, std::ostream* out);

// Clicks a button of a dialog as the mouse would, through the button.
void ClickButton(HWND dialog, int id);
// The centre of a window's client area, in screen coordinates.
POINT CentreOf(HWND window);
// The width of an icon's image in pixels; 0 for no icon.
int IconWidth(HICON icon);
// The screen DPI this run is for: 96, or what VANTORA_DPI names in the run
// on a desktop of that DPI (scripts/wine-env.sh); a size given for 96 and
// 144 DPI, at this run's.
int TestDpi();
int AtTestDpi(int at96, int at144);
// The whole text, as the system holds it (UTF-16), in code page 932 whatever the ANSI one.
std::string ItemText(HWND dialog, int id);
std::string WindowText(HWND window);
std::string Cp932(const wchar_t* text);

// Everything a command might change of a window besides what it is for, so
// that a test compares the whole before and after: the title, the flags,
// the other style bits, the normal rectangle, its place in the z-order
// against `other`, and which window is in the foreground.
struct WindowState {
    std::string title;
    bool enabled, visible, topmost, iconic, zoomed;
    DWORD style, exStyle;  // less the bits the flags stand for
    RECT normal;
    bool aboveOther;
    HWND foreground;
    bool operator==(const WindowState& o) const;
};
WindowState ReadWindowState(HWND window, HWND other = NULL);
void PrintTo(const WindowState& state, std::ostream* out);

// A test with the real main dialog (default filters) and a fixture thread.
class MainDialogWithFixtures : public ::testing::Test {
protected:
    static void TearDownTestSuite() { CloseSharedMainDialog(); }
    void SetUp() override;
    void TearDown() override;
    // Creates a fixture window (see CreateTitledFixture) and refreshes the
    // list so that it is listed.
    HWND Fixture(const std::string& title, void (*adjust)(FixtureSpec*) = nullptr);
    FixtureThread* fixtures = nullptr;
    MainDialog main = {};
};

#endif
