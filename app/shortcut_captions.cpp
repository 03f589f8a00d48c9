#include "app/shortcut_captions.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

BOOL AddShortcutCaptions(HMENU menu, HACCEL table)
{
    int count = CopyAcceleratorTableA(table, NULL, 0);
    if (count <= 0)
        return TRUE;
    ACCEL* entries = (ACCEL*)malloc(count * sizeof(ACCEL));
    char* caption = (char*)malloc(MENU_CAPTION_SIZE);
    if (entries == NULL || caption == NULL) {
        free(entries);
        free(caption);
        return FALSE;
    }
    count = CopyAcceleratorTableA(table, entries, count);
    for (int i = 0; i < count; ++i) {
        if (GetMenuStringA(menu, entries[i].cmd, caption, MENU_CAPTION_SIZE, MF_BYCOMMAND) == 0)
            continue;  // no menu item for this command
        char shortcut[SHORTCUT_TEXT_SIZE];
        FormatShortcut(&entries[i], shortcut, sizeof(shortcut));
        size_t used = strlen(caption);
        snprintf(caption + used, MENU_CAPTION_SIZE - used, "\t%s", shortcut);
        SetMenuItemText(menu, entries[i].cmd, caption);
    }
    free(caption);
    free(entries);
    return TRUE;
}

BOOL FormatShortcut(const ACCEL* entry, char* buffer, int size)
{
    char name[SHORTCUT_TEXT_SIZE];
    GetKeyName(name, sizeof(name), entry->key, FALSE);
    snprintf(buffer, size, "%s%s%s%s",
             (entry->fVirt & FCONTROL) ? "Ctrl + " : "",
             (entry->fVirt & FSHIFT) ? "Shift + " : "",
             (entry->fVirt & FALT) ? "Alt + " : "",
             name);
    buffer[size - 1] = '\0';
    return TRUE;
}

int GetKeyName(char* buffer, int size, UINT key, BOOL extended)
{
    buffer[0] = '\0';  // a key without a scan code has no name: an empty one
    UINT scanCode = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    if (scanCode == 0)
        return 0;
    LONG parameter = (LONG)((scanCode & 0xFF) << 16);
    if (extended)
        parameter |= 1L << 24;
    return GetKeyNameTextA(parameter, buffer, size);
}

BOOL SetMenuItemText(HMENU menu, UINT commandId, const char* text)
{
    return ModifyMenuA(menu, commandId, MF_BYCOMMAND | MF_STRING, commandId, text);
}
