// The properties dialog of the selected window: its title, show state and
// normal position and size, edited in a modal dialog and applied on OK.
#ifndef VANTORA_PROPERTIES_DIALOG_H
#define VANTORA_PROPERTIES_DIALOG_H

#include <windows.h>

#include "catalogue/window_snapshot.h"

// Moves and sizes without touching the z-order or activating (0x234).
const UINT PROPERTIES_SWP_FLAGS = SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOOWNERZORDER;
const int PROPERTIES_CAPTION_SIZE = 256;

int OnPropertiesCommand(HWND mainDialog);
// TRUE when OK was pressed and the edits were applied.
BOOL EditWindowProperties(HWND mainDialog, HWND target);
// What OK applies: each of title, show state and position/size that differs
// between the two snapshots, in that order, to `edited->hwnd`.
void ApplyPropertiesEdits(HWND mainDialog, const WindowSnapshot* before, const WindowSnapshot* edited);

INT_PTR CALLBACK PropertiesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL InitPropertiesDialog(HWND dialog);
BOOL OnPropertiesDialogCommand(HWND dialog, WPARAM wParam);
BOOL ReadPropertiesDialog(HWND dialog);
BOOL EnablePlacementFields(HWND dialog, BOOL enable);

// "ﾌﾟﾛﾊﾟﾃｨ class-title", cut to `size` bytes on a character boundary.
void ComposePropertiesCaption(char* caption, size_t size, const char* className, const char* title);

#endif
