// The program's one state record, attached to the main dialog.
#ifndef VANTORA_APP_STATE_H
#define VANTORA_APP_STATE_H

#include <windows.h>
#include <stdint.h>

#include "operations/undo_history.h"

struct AppState {
    int32_t sortColumn;
    BYTE sortAscending;
    BYTE showInvisible;
    BYTE showMinimized;
    BYTE showDisabled;
    BYTE alwaysOnTop;
    HWND mainWindow;
    UndoHistory undoHistory;
};

extern const char PROP_DIALOGPARAM[];
extern const char PROP_LISTVIEWINFO[];

// The AppState attached to the main dialog, or null before WM_INITDIALOG.
AppState* GetAppState(HWND mainDialog);

#endif
