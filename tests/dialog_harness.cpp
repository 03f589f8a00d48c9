#include "tests/dialog_harness.h"

#include <commctrl.h>
#include <stdlib.h>
#include <string.h>

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
    char text[256] = "";
    GetDlgItemTextA(dialog, IDC_STATUS_LINE, text, sizeof(text));
    return text;
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
std::function<void(HWND)> dialogAction;
HWND dialogOwner;
UINT_PTR dialogTimer;
int dialogsSeen;

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM found)
{
    char className[16] = "";
    GetClassNameA(window, className, sizeof(className));
    if (GetWindow(window, GW_OWNER) == dialogOwner && IsWindowVisible(window) && strcmp(className, "#32770") == 0) {
        *(HWND*)found = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK ActOnOwnedDialog(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = NULL;
    EnumThreadWindows(GetCurrentThreadId(), FindOwnedDialog, (LPARAM)&dialog);
    if (dialog == NULL)
        return;
    StopWatchingForDialogs();
    ++dialogsSeen;
    std::function<void(HWND)> action = dialogAction;
    action(dialog);
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
}

void ClickButton(HWND dialog, int id)
{
    SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
}

std::string ItemText(HWND dialog, int id)
{
    static char text[65536];
    text[0] = '\0';
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

std::string WindowText(HWND window)
{
    std::string text(65536, '\0');
    text.resize(GetWindowTextA(window, &text[0], (int)text.size()));
    return text;
}

void MainDialogWithFixtures::SetUp()
{
    fixtures = StartFixtureThread();
    main = OpenMainDialog(NewAppState());
    ASSERT_NE(nullptr, main.dialog);
}

void MainDialogWithFixtures::TearDown()
{
    StopWatchingForDialogs();
    CloseMainDialog(&main);
    StopFixtureThread(fixtures);
}

HWND MainDialogWithFixtures::Fixture(const std::string& title, void (*adjust)(FixtureSpec*))
{
    HWND window = CreateTitledFixture(fixtures, title, adjust);
    SendCommand(main.dialog, CMD_REFRESH);
    return window;
}
