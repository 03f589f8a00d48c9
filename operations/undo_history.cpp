#include "operations/undo_history.h"

#include <stdio.h>
#include <string.h>

#include "app/app_state.h"
#include "app/sjis_text.h"
#include "operations/bounded_changes.h"
#include "operations/window_commands.h"
#include "resources/resource_ids.h"

static const char EMPTY_HISTORY_TEXT[] = "（なし）";

static bool IsUndoItemId(UINT id)
{
    return id >= CMD_UNDO_FIRST && id <= CMD_UNDO_LAST;
}

HMENU GetUndoMenu(HWND mainDialog)
{
    HMENU menu = GetMenu(mainDialog);
    return menu != NULL ? GetSubMenu(menu, UNDO_MENU_POSITION) : NULL;
}

int FindUndoSlot(HMENU undoMenu, UndoHistory* history)
{
    for (int index = 0; index < UNDO_SLOT_COUNT; ++index) {
        if (!history->slots[index].inUse)
            return CMD_UNDO_FIRST + index;
    }
    // Full: evict the oldest entry still listed, the Undo menu's first item.
    UINT oldest = GetMenuItemID(undoMenu, 0);
    if (!IsUndoItemId(oldest))
        oldest = CMD_UNDO_FIRST;  // the menu was tampered with; reuse slot 0
    DeleteMenu(undoMenu, oldest, MF_BYCOMMAND);
    history->slots[oldest - CMD_UNDO_FIRST].inUse = 0;
    --history->count;
    return (int)oldest;
}

void ComposeUndoItemText(char* text, size_t size, const char* caption, const char* className,
                         const char* title)
{
    const char* parts[] = {caption, "-", className, "-", title};
    SjisJoinTruncated(text, size, parts, 5);
}

UndoEntry* RecordUndo(UndoHistory* history, HWND mainDialog, HWND target, int commandId)
{
    HMENU undoMenu = GetUndoMenu(mainDialog);
    int id = FindUndoSlot(undoMenu, history);
    UndoEntry* entry = &history->slots[id - CMD_UNDO_FIRST];
    // The state before this change: after the earlier ones still waiting.
    CaptureWindowSnapshot(target, &entry->before);
    OverlayWaitingChanges(target, &entry->before.enabled, &entry->before.visible, &entry->before.topmost);
    entry->changeTicket = 0;
    entry->inUse = 1;
    entry->menuItemId = id;
    entry->commandId = commandId;
    entry->target = target;
    ++history->count;

    char caption[UNDO_CAPTION_SIZE] = "";
    GetMenuStringA(GetMenu(mainDialog), commandId, caption, sizeof(caption), MF_BYCOMMAND);
    char text[UNDO_ITEM_TEXT_SIZE];
    ComposeUndoItemText(text, sizeof(text), caption, entry->before.className, entry->before.title);
    AppendMenuA(undoMenu, MF_STRING, id, text);
    return entry;
}

BOOL IsUndoEntryLive(const UndoEntry* entry)
{
    if (!IsWindow(entry->target))
        return FALSE;
    // Not made yet: the window has not had the chance to differ.
    if (IsWindowChangeWaiting(entry->changeTicket))
        return TRUE;
    WindowSnapshot now;
    CaptureWindowSnapshot(entry->target, &now);
    switch (entry->commandId) {
    case CMD_ENABLE: return now.enabled != entry->before.enabled;
    case CMD_VISIBLE: return now.visible != entry->before.visible;
    case CMD_TOPMOST: return now.topmost != entry->before.topmost;
    default: return FALSE;
    }
}

BOOL PruneUndoHistory(HWND mainDialog, UndoHistory* history)
{
    HMENU undoMenu = GetUndoMenu(mainDialog);
    for (int index = 0; index < UNDO_SLOT_COUNT; ++index) {
        UndoEntry* entry = &history->slots[index];
        if (entry->inUse && !IsUndoEntryLive(entry)) {
            --history->count;
            entry->inUse = 0;
            DeleteMenu(undoMenu, entry->menuItemId, MF_BYCOMMAND);
        }
    }
    UINT first = GetMenuItemID(undoMenu, 0);
    if (first == CMD_UNDO_NONE && history->count != 0)
        DeleteMenu(undoMenu, CMD_UNDO_NONE, MF_BYCOMMAND);
    else if (first != CMD_UNDO_NONE && history->count == 0)
        AppendMenuA(undoMenu, MF_STRING | MF_GRAYED | MF_DISABLED, CMD_UNDO_NONE, EMPTY_HISTORY_TEXT);
    return TRUE;
}

int OnUndoCommand(HWND mainDialog, WPARAM wParam)
{
    AppState* appState = GetAppState(mainDialog);
    UINT id = LOWORD(wParam);
    if (appState != NULL && IsUndoItemId(id))
        ExecuteUndo(mainDialog, &appState->undoHistory, id);
    return 1;
}

BOOL ExecuteUndo(HWND mainDialog, UndoHistory* history, int menuItemId)
{
    if (!IsUndoItemId(menuItemId))
        return FALSE;
    const UndoEntry* entry = &history->slots[menuItemId - CMD_UNDO_FIRST];
    // A stale id (its slot freed since the menu was shown) changes nothing.
    if (entry->inUse) {
        // Read out first: the setter records before it changes, and with a
        // full history that may evict and reuse this very slot.
        HWND target = entry->target;
        int command = entry->commandId;
        BYTE enabled = entry->before.enabled;
        BYTE visible = entry->before.visible;
        BYTE topmost = entry->before.topmost;
        switch (command) {
        case CMD_ENABLE: ApplyEnabled(mainDialog, history, target, enabled); break;
        case CMD_VISIBLE: ApplyVisible(mainDialog, history, target, visible); break;
        case CMD_TOPMOST: ApplyTopmost(mainDialog, history, target, topmost); break;
        default: break;
        }
    }
    SendMessageA(mainDialog, WM_COMMAND, CMD_REFRESH, 0);
    return TRUE;
}
