// Every enable/show/topmost toggle is recorded with the window's state just
// before it, listed in the Undo menu, and can be set back from there.
#ifndef VANTORA_UNDO_HISTORY_H
#define VANTORA_UNDO_HISTORY_H

#include <windows.h>
#include <stdint.h>

#include "catalogue/window_snapshot.h"

const int UNDO_SLOT_COUNT = 64;
const int UNDO_MENU_POSITION = 2;      // "元に戻す(&U)" in the menu bar
const int UNDO_CAPTION_SIZE = 261;
const int UNDO_ITEM_TEXT_SIZE = 261;

struct UndoEntry {
    BYTE inUse;
    int32_t menuItemId;   // CMD_UNDO_FIRST + slot index
    int32_t commandId;    // the recorded toggle: CMD_ENABLE, CMD_VISIBLE or CMD_TOPMOST
    HWND target;
    WindowSnapshot before;
    LONG changeTicket;    // the recorded change, while it may still wait for its window
};

struct UndoHistory {
    int32_t count;
    UndoEntry slots[UNDO_SLOT_COUNT];
};

// Returns the entry recorded, for the caller to give it the change's ticket.
UndoEntry* RecordUndo(UndoHistory* history, HWND mainDialog, HWND target, int commandId);
int OnUndoCommand(HWND mainDialog, WPARAM wParam);
BOOL PruneUndoHistory(HWND mainDialog, UndoHistory* history);

HMENU GetUndoMenu(HWND mainDialog);
int FindUndoSlot(HMENU undoMenu, UndoHistory* history);
BOOL IsUndoEntryLive(const UndoEntry* entry);
BOOL ExecuteUndo(HWND mainDialog, UndoHistory* history, int menuItemId);

// "caption-class-title", cut to fit `size` bytes without splitting a
// double-byte character.
void ComposeUndoItemText(char* text, size_t size, const char* caption, const char* className,
                         const char* title);

#endif
