// Writes each accelerator's key text after a tab into the caption of the
// menu item it triggers, from the loaded table and the keyboard layout.
#ifndef VANTORA_SHORTCUT_CAPTIONS_H
#define VANTORA_SHORTCUT_CAPTIONS_H

#include <windows.h>

const int SHORTCUT_TEXT_SIZE = 34;  // "\tCtrl + Shift + Alt + Scroll Lock" and its NUL
const int MENU_CAPTION_SIZE = 32768;

BOOL AddShortcutCaptions(HMENU menu, HACCEL table);
BOOL FormatShortcut(const ACCEL* entry, char* buffer, int size);
int GetKeyName(char* buffer, int size, UINT key, BOOL extended);
BOOL SetMenuItemText(HMENU menu, UINT commandId, const char* text);

#endif
