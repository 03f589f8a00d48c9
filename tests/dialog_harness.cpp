#include "tests/dialog_harness.h"

#include <commctrl.h>
#include <stdlib.h>
#include <string.h>

#include "app/geometry.h"
#include "app/main_dialog.h"
#include "catalogue/list_sort.h"
#include "catalogue/window_list.h"
#include "resources/resource_ids.h"
#include "tests/fixture_windows.h"

AppState* NewAppState(bool showInvisible, bool showMinimized, bool showDisabled)
{
    AppState* state = (AppState*)calloc(1, sizeof(AppState));
    state->sortAscending = 1;
    state->showInvisible = showInvisible;
    state->showMinimized = showMinimized;
    state->showDisabled = showDisabled;
    return state;
}

MainDialog OpenMainDialog(AppState* state)
{
    InitCommonControls();
    MainDialog main = {state, NULL, NULL};
    main.dialog = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_MAIN_DIALOG), NULL, MainDialogProc,
                                     (LPARAM)state);
    if (main.dialog != NULL)
        main.list = GetDlgItem(main.dialog, IDC_WINDOW_LIST);
    return main;
}

void CloseMainDialog(MainDialog* main)
{
    if (main->dialog != NULL && IsWindow(main->dialog))
        DestroyWindow(main->dialog);
    PumpMessagesFor(0);  // swallow the WM_QUIT the dialog posts
    free(main->state);
    *main = MainDialog();
}

namespace {
MainDialog shared;

void ResetMainDialog(MainDialog* main)
{
    AppState* state = main->state;
    memset(&state->undoHistory, 0, sizeof(state->undoHistory));
    state->sortColumn = 0;
    state->sortAscending = 1;
    state->showInvisible = state->showMinimized = state->showDisabled = 1;
    state->alwaysOnTop = 0;
    HMENU used = GetMenu(main->dialog);
    SetMenu(main->dialog, LoadMenuA(GetModuleHandleA(NULL), "MAIN_MENU"));
    DestroyMenu(used);
    SetNotTopmost(main->dialog);
    if (!IsWindowVisible(main->dialog) || IsIconic(main->dialog))
        ShowWindow(main->dialog, SW_SHOWNORMAL);
    int order[WINDOW_LIST_COLUMN_COUNT];
    for (int i = 0; i < WINDOW_LIST_COLUMN_COUNT; ++i)
        order[i] = i;
    SendMessageA(main->list, LVM_SETCOLUMNORDERARRAY, WINDOW_LIST_COLUMN_COUNT, (LPARAM)order);
    SelectNothing(main->list);
    SendCommand(main->dialog, CMD_REFRESH);
}
}  // namespace

MainDialog UseSharedMainDialog()
{
    if (shared.dialog != NULL && IsWindow(shared.dialog))
        ResetMainDialog(&shared);
    else {
        CloseSharedMainDialog();
        shared = OpenMainDialog(NewAppState());
    }
    return shared;
}

void CloseSharedMainDialog()
{
    if (shared.state != NULL)
        CloseMainDialog(&shared);
}

int RowCount(HWND list)
{
    return (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
}

std::string CellText(HWND list, int row, int column)
{
    static char buffer[LIST_CELL_TEXT_SIZE];
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof(buffer);
    buffer[0] = '\0';
    SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)&item);
    return buffer;
}

std::string RowTexts(HWND list, int row)
{
    std::string texts;
    for (int column = 0; column < WINDOW_LIST_COLUMN_COUNT; ++column)
        texts += (column ? "|" : "") + CellText(list, row, column);
    return texts;
}

int RowImage(HWND list, int row)
{
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&item);
    return item.iImage;
}

std::string StatusText(HWND dialog)
{
    return ItemText(dialog, IDC_STATUS_LINE);
}

void SendCommand(HWND dialog, UINT id)
{
    SendMessageA(dialog, WM_COMMAND, id, 0);
}

void SelectNothing(HWND list)
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&item);
}

void InitMenuPopup(HWND dialog, HMENU menu)
{
    SendMessageA(dialog, WM_INITMENUPOPUP, (WPARAM)menu, 0);
}

NMLVDISPINFOA EndOfEdit(const MainDialog& main, HWND window, char* text)
{
    NMLVDISPINFOA info = {};
    info.hdr.hwndFrom = main.list;
    info.hdr.idFrom = IDC_WINDOW_LIST;
    info.hdr.code = LVN_ENDLABELEDITA;
    info.item.iItem = FindListRowOfWindow(main.list, window);
    info.item.lParam = (LPARAM)window;
    info.item.pszText = text;
    return info;
}

void Notify(const MainDialog& main, NMHDR* header)
{
    SendMessageA(main.dialog, WM_NOTIFY, header->idFrom, (LPARAM)header);
}

UINT MenuState(HMENU menu, UINT id)
{
    return GetMenuState(menu, id, MF_BYCOMMAND);
}

std::string MenuText(HMENU menu, UINT id, UINT flags)
{
    char text[1024] = "";
    GetMenuStringA(menu, id, text, sizeof(text), flags);
    return text;
}

namespace {
struct DialogSearch {
    const std::function<bool(HWND)>* keep;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM parameter)
{
    DialogSearch* search = (DialogSearch*)parameter;
    char className[16] = "";
    GetClassNameA(window, className, sizeof(className));
    if (strcmp(className, "#32770") == 0 && IsWindowVisible(window) && (*search->keep)(window))
        search->found.push_back(window);
    return TRUE;
}
}  // namespace

std::vector<HWND> VisibleDialogs(const std::function<bool(HWND)>& keep)
{
    DialogSearch search = {&keep, {}};
    EnumWindows(CollectDialog, (LPARAM)&search);
    return search.found;
}

namespace {
const DWORD GIVE_UP_MS = 3000;

std::function<void(HWND)> dialogAction;
HWND dialogOwner;
HWND actedOn;
DWORD actedAt;
UINT_PTR dialogTimer;
int dialogsSeen;

void CALLBACK ActOnOwnedDialog(HWND, UINT, UINT_PTR, DWORD)
{
    if (actedOn != NULL) {
        // Watching the dialog the action was meant to end.
        if (!IsWindow(actedOn) || !IsWindowVisible(actedOn)) {
            StopWatchingForDialogs();
        } else if (GetTickCount() - actedAt > GIVE_UP_MS) {
            ADD_FAILURE() << "the dialog was still open " << GIVE_UP_MS << " ms after the test acted on it";
            EndDialog(actedOn, IDCANCEL);
            StopWatchingForDialogs();
        }
        return;
    }
    std::vector<HWND> owned = VisibleDialogs([](HWND window) { return GetWindow(window, GW_OWNER) == dialogOwner; });
    if (owned.empty())
        return;
    actedOn = owned.front();
    actedAt = GetTickCount();
    ++dialogsSeen;
    std::function<void(HWND)> action = dialogAction;
    action(actedOn);
}

ChosenMenu shownMenu;
UINT idToChoose;  // 0: read the menu and close it
DWORD menuWaitStart;

void CALLBACK ReadShownMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND menuWindow = FindWindowA("#32768", NULL);
    if (menuWindow == NULL || !IsWindowVisible(menuWindow) || shownMenu.chosen) {
        if (GetTickCount() - menuWaitStart > GIVE_UP_MS) {
            KillTimer(NULL, timer);
            EndMenu();  // a menu that could not be found or chosen from must not hang the test
        }
        return;
    }
    HMENU menu = (HMENU)SendMessageA(menuWindow, MN_GETHMENU, 0, 0);
    if (!shownMenu.shown) {
        shownMenu.shown = true;
        shownMenu.items = GetMenuItemCount(menu);
        shownMenu.firstItem = MenuText(menu, 0, MF_BYPOSITION);
        shownMenu.firstId = GetMenuItemID(menu, 0);
        GetWindowRect(menuWindow, &shownMenu.rect);
        shownMenu.foreground = GetForegroundWindow();
    }
    if (idToChoose == 0) {
        KillTimer(NULL, timer);
        EndMenu();
        return;
    }
    // One key a tick, so that the menu has taken the last one first.
    shownMenu.chosen = (MenuState(menu, idToChoose) & MF_HILITE) != 0;
    PostMessageA(menuWindow, WM_KEYDOWN, shownMenu.chosen ? VK_RETURN : VK_DOWN, 1);
}
}  // namespace

void WhenDialogOpens(HWND owner, const std::function<void(HWND)>& action)
{
    StopWatchingForDialogs();
    dialogOwner = owner;
    dialogAction = action;
    dialogsSeen = 0;
    dialogTimer = SetTimer(NULL, 0, 20, ActOnOwnedDialog);
}

int DialogsSeen()
{
    return dialogsSeen;
}

void StopWatchingForDialogs()
{
    if (dialogTimer != 0)
        KillTimer(NULL, dialogTimer);
    dialogTimer = 0;
    actedOn = NULL;
}

ChosenMenu ChooseInNextMenu(const std::function<void()>& open, UINT id)
{
    shownMenu = ChosenMenu();
    idToChoose = id;
    menuWaitStart = GetTickCount();
    UINT_PTR timer = SetTimer(NULL, 0, USER_TIMER_MINIMUM, ReadShownMenu);
    open();
    KillTimer(NULL, timer);
    // The messages the menu left (the chosen command, ours after it), all
    // taken before any is handled: a command may run a loop of its own.
    std::vector<MSG> left;
    for (MSG message; PeekMessageA(&message, NULL, 0, 0, PM_REMOVE);)
        left.push_back(message);
    for (MSG& message : left) {
        shownMenu.messageFollowed |= message.message == WM_NULL;
        if (message.message != WM_QUIT)
            DispatchMessageA(&message);
    }
    return shownMenu;
}

GuiObjects CountGuiObjects()
{
    GuiObjects objects = {GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS),
                          GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)};
    if (objects.user != 0 || objects.gdi != 0)
        return objects;
    // A handle's index with generation 0 names whatever object is there.
    for (ULONG_PTR index = 0; index < 0x10000; ++index) {
        objects.user += IsMenu((HMENU)(0x20 + 2 * index)) != FALSE;  // the process's own menus only
        objects.gdi += GetObjectType((HGDIOBJ)index) != 0;
    }
    return objects;
}

void PrintTo(const GuiObjects& objects, std::ostream* out)
{
    *out << objects.user << " USER, " << objects.gdi << " GDI";
}

void ClickButton(HWND dialog, int id)
{
    SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
}

POINT CentreOf(HWND window)
{
    RECT r = {};
    GetClientRect(window, &r);
    POINT p = {r.right / 2, r.bottom / 2};
    ClientToScreen(window, &p);
    return p;
}

int TestDpi()
{
    const char* named = getenv("VANTORA_DPI");
    return named != NULL ? atoi(named) : 96;
}

int AtTestDpi(int at96, int at144)
{
    EXPECT_TRUE(TestDpi() == 96 || TestDpi() == 144) << TestDpi();
    return TestDpi() == 144 ? at144 : at96;
}

int IconWidth(HICON icon)
{
    ICONINFO info = {};
    if (icon == NULL || !GetIconInfo(icon, &info))
        return 0;
    BITMAP bitmap = {};
    GetObjectA(info.hbmColor != NULL ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    if (info.hbmColor != NULL)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

std::string ItemText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

std::string Cp932(const wchar_t* text)
{
    std::string cp932(wcslen(text) * 2 + 1, '\0');
    cp932.resize((size_t)WideCharToMultiByte(932, 0, text, -1, &cp932[0], (int)cp932.size(), NULL, NULL) - 1);
    return cp932;
}

std::string WindowText(HWND window)
{
    std::wstring text(65536, L'\0');
    text.resize((size_t)GetWindowTextW(window, &text[0], (int)text.size()));
    return Cp932(text.c_str());
}

WindowState ReadWindowState(HWND window, HWND other)
{
    WindowState state = {WindowText(window), IsWindowEnabled(window) != FALSE, IsWindowVisible(window) != FALSE,
                         IsTopmost(window) != FALSE, IsIconic(window) != FALSE, IsZoomed(window) != FALSE};
    state.style = (DWORD)GetWindowLongA(window, GWL_STYLE) & ~(WS_DISABLED | WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
    state.exStyle = (DWORD)GetWindowLongA(window, GWL_EXSTYLE) & ~WS_EX_TOPMOST;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    GetWindowPlacement(window, &placement);
    state.normal = placement.rcNormalPosition;
    state.aboveOther = false;
    for (HWND below = GetWindow(window, GW_HWNDNEXT); other != NULL && below != NULL; below = GetWindow(below, GW_HWNDNEXT))
        state.aboveOther = state.aboveOther || below == other;
    state.foreground = GetForegroundWindow();
    return state;
}

bool WindowState::operator==(const WindowState& o) const
{
    return title == o.title && enabled == o.enabled && visible == o.visible && topmost == o.topmost &&
           iconic == o.iconic && zoomed == o.zoomed && style == o.style && exStyle == o.exStyle &&
           EqualRect(&normal, &o.normal) && aboveOther == o.aboveOther && foreground == o.foreground;
}

void PrintTo(const WindowState& s, std::ostream* out)
{
    *out << '"' << s.title << "\" enabled " << s.enabled << " visible " << s.visible << " topmost " << s.topmost
         << " iconic " << s.iconic << " zoomed " << s.zoomed << std::hex << " styles " << s.style << "/" << s.exStyle
         << std::dec << " normal " << s.normal.left << "," << s.normal.top << "," << s.normal.right << ","
         << s.normal.bottom << " above " << s.aboveOther << " foreground " << s.foreground;
}

void MainDialogWithFixtures::SetUp()
{
    fixtures = StartFixtureThread();
    main = UseSharedMainDialog();
    ASSERT_NE(nullptr, main.dialog);
}

void MainDialogWithFixtures::TearDown()
{
    StopWatchingForDialogs();
    StopFixtureThread(fixtures);
}

HWND MainDialogWithFixtures::Fixture(const std::string& title, void (*adjust)(FixtureSpec*))
{
    HWND window = CreateTitledFixture(fixtures, title, adjust);
    SendCommand(main.dialog, CMD_REFRESH);
    return window;
}
