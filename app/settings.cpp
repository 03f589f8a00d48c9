#include "app/settings.h"

#include <stdio.h>
#include <string.h>

#include "app/app_state.h"
#include "app/setting_value.h"
#include "app/sjis_text.h"

const char SETTINGS_SECTION[] = "Vantora";

struct SettingKey {
    const char* name;
    BYTE AppState::*field;
    BYTE defaultValue;
};

// Read and written in this order.
static const SettingKey SETTING_KEYS[] = {
    {"不可視ウィンドウを列挙する", &AppState::showInvisible, 1},
    {"最小化されたウィンドウを列挙する", &AppState::showMinimized, 1},
    {"使用不可能なウィンドウを列挙する", &AppState::showDisabled, 1},
    {"ウィンドウを最前面に表示", &AppState::alwaysOnTop, 0},
};

BOOL LoadSettings(AppState* appState)
{
    appState->sortColumn = 0;
    appState->sortAscending = 1;
    char path[SETTINGS_PATH_SIZE];
    BOOL havePath = GetModulePathWithExt(path, sizeof(path), ".ini");
    for (const SettingKey& key : SETTING_KEYS) {
        appState->*key.field = havePath
            ? ReadSettingFlag(path, SETTINGS_SECTION, key.name, key.defaultValue)
            : key.defaultValue;
    }
    return TRUE;
}

BOOL SaveSettings(const AppState* appState)
{
    char path[SETTINGS_PATH_SIZE];
    // Without our own path there is nowhere sensible to write.
    if (!GetModulePathWithExt(path, sizeof(path), ".ini"))
        return TRUE;
    // Makes the system drop its cached copy of the file before we write.
    WritePrivateProfileStringA(NULL, NULL, NULL, path);
    for (const SettingKey& key : SETTING_KEYS)
        WriteSettingInt(path, SETTINGS_SECTION, key.name, appState->*key.field ? 1 : 0);
    return TRUE;
}

BYTE ReadSettingFlag(const char* path, const char* section, const char* key, BYTE defaultValue)
{
    char value[SETTING_VALUE_SIZE];
    GetPrivateProfileStringA(section, key, "", value, sizeof(value), path);
    bool flag = false;
    if (!ParseSettingFlag(value, &flag))
        return defaultValue;
    return flag ? 1 : 0;
}

BOOL WriteSettingInt(const char* path, const char* section, const char* key, int value)
{
    char text[SETTING_VALUE_SIZE];
    snprintf(text, sizeof(text), "%d", value);
    return WritePrivateProfileStringA(section, key, text, path);
}

BOOL GetModulePathWithExt(char* buffer, int size, const char* ext)
{
    DWORD length = GetModuleFileNameA(GetModuleHandleA(NULL), buffer, size);
    // A cut path names some other file; better no settings than wrong ones.
    if (length == 0 || (int)length >= size)
        return FALSE;
    if (ext != NULL) {
        CutExtension(buffer);
        if (strlen(buffer) + strlen(ext) >= (size_t)size)
            return FALSE;
        strcat(buffer, ext);
    }
    SjisLowerInPlace(buffer);
    return TRUE;
}
