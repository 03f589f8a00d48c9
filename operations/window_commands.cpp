#include "operations/window_commands.h"

#include "app/app_state.h"
#include "app/geometry.h"
#include "catalogue/window_list.h"
#include "catalogue/window_snapshot.h"
#include "operations/bounded_changes.h"
#include "operations/undo_history.h"
#include "resources/resource_ids.h"

// The entry keeps the change's ticket: while the change waits for its
// window, the entry stays in the Undo menu.
BOOL ApplyEnabled(HWND mainDialog, UndoHistory* history, HWND target, BYTE enabled)
{
    UndoEntry* entry = RecordUndo(history, mainDialog, target, CMD_ENABLE);
    return EnableWindowBounded(target, enabled != 0, mainDialog, &entry->changeTicket);
}

BOOL ApplyVisible(HWND mainDialog, UndoHistory* history, HWND target, BYTE visible)
{
    UndoEntry* entry = RecordUndo(history, mainDialog, target, CMD_VISIBLE);
    return ShowWindowBounded(target, ShowOrHideCommand(visible != 0), mainDialog, &entry->changeTicket);
}

BOOL ApplyTopmost(HWND mainDialog, UndoHistory* history, HWND target, BYTE topmost)
{
    UndoEntry* entry = RecordUndo(history, mainDialog, target, CMD_TOPMOST);
    return SetTopmostBounded(target, topmost != 0, mainDialog, &entry->changeTicket);
}

int OnWindowCommand(HWND mainDialog, WPARAM wParam)
{
    UINT id = LOWORD(wParam);
    if (id < CMD_ENABLE || id > CMD_CLOSE)
        return 0;
    HWND window = GetSelectedListWindow(GetDlgItem(mainDialog, IDC_WINDOW_LIST));
    AppState* appState = GetAppState(mainDialog);
    if (window != NULL && appState != NULL) {
        // The toggles invert the state the window has now (or will have,
        // once the changes still waiting for it are made), not what the list shows.
        WindowSnapshot now;
        CaptureWindowSnapshot(window, &now);
        OverlayWaitingChanges(window, &now.enabled, &now.visible, &now.topmost);
        UndoHistory* history = &appState->undoHistory;
        switch (id) {
        case CMD_ENABLE: ApplyEnabled(mainDialog, history, window, !now.enabled); break;
        case CMD_VISIBLE: ApplyVisible(mainDialog, history, window, !now.visible); break;
        case CMD_TOPMOST: ApplyTopmost(mainDialog, history, window, !now.topmost); break;
        case CMD_ACTIVATE: ActivateWindowBounded(window, mainDialog); break;
        case CMD_CLOSE:
            // Posted, never sent: a window that does not answer cannot stop us.
            PostMessageA(window, WM_CLOSE, 0, 0);
            Sleep(CLOSE_SETTLE_MS);
            break;
        }
    }
    SendMessageA(mainDialog, WM_COMMAND, CMD_REFRESH, 0);
    return 1;
}
