// Opens the program's real main dialog from the real resources for a test.
#ifndef VANTORA_TESTS_DIALOG_HARNESS_H
#define VANTORA_TESTS_DIALOG_HARNESS_H

#include <windows.h>

#include <string>

#include "app/app_state.h"

struct MainDialog {
    AppState* state;
    HWND dialog;
    HWND list;
};

// A zero-filled AppState with the given filters, like LoadSettings' defaults.
AppState* NewAppState(bool showInvisible = true, bool showMinimized = true, bool showDisabled = true);
MainDialog OpenMainDialog(AppState* state);
void CloseMainDialog(MainDialog* main);

int RowCount(HWND list);
int RowOfWindow(HWND list, HWND window);
std::string CellText(HWND list, int row, int column);
std::string RowTexts(HWND list, int row);  // all eight cells joined by '|'
int RowImage(HWND list, int row);
std::string StatusText(HWND dialog);
void SendCommand(HWND dialog, UINT id);
void SelectRowOf(MainDialog* main, HWND window);
// Sends WM_INITMENUPOPUP for `menu` as the system does before showing it.
void InitMenuPopup(HWND dialog, HMENU menu);
UINT MenuState(HMENU menu, UINT id);  // MF_* flags of an item by command
std::string MenuText(HMENU menu, UINT id, UINT flags = MF_BYCOMMAND);

#endif
