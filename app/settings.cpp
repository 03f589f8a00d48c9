#include "app/settings.h"

#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include <string>

#include "app/ansi_text.h"
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

static const size_t SETTING_KEY_COUNT = sizeof(SETTING_KEYS) / sizeof(SETTING_KEYS[0]);
// The keys this copy's user changed that no save has written yet. A save
// writes only these, so that quitting one copy never takes back what
// another copy set meanwhile, and a write that failed (another program
// holding the file open) is made again at the next save.
static bool owed[SETTING_KEY_COUNT];

// The key's value text as the file holds it now ("" when missing).
static std::string ReadSettingText(const wchar_t* path, const char* section, const char* key)
{
    wchar_t value[SETTING_VALUE_SIZE] = L"";
    GetPrivateProfileStringW(WideText(section).c_str(), WideText(key).c_str(), L"", value, SETTING_VALUE_SIZE, path);
    return AnsiText(value);
}

BOOL LoadSettings(AppState* appState)
{
    appState->sortColumn = 0;
    appState->sortAscending = 1;
    wchar_t path[SETTINGS_PATH_SIZE];
    BOOL havePath = GetModulePathWithExtW(path, SETTINGS_PATH_SIZE, L".ini");
    for (size_t i = 0; i < SETTING_KEY_COUNT; ++i) {
        const SettingKey& key = SETTING_KEYS[i];
        appState->*key.field = havePath
            ? ReadSettingFlag(path, SETTINGS_SECTION, key.name, key.defaultValue)
            : key.defaultValue;
        owed[i] = false;
    }
    return TRUE;
}

BOOL SaveSettings(const AppState* appState)
{
    wchar_t path[SETTINGS_PATH_SIZE];
    // Without our own path there is nowhere sensible to write.
    if (!GetModulePathWithExtW(path, SETTINGS_PATH_SIZE, L".ini"))
        return TRUE;
    // Makes the system drop its cached copy of the file, so that what
    // another copy wrote meanwhile is read below.
    WritePrivateProfileStringW(NULL, NULL, NULL, path);
    for (size_t i = 0; i < SETTING_KEY_COUNT; ++i) {
        const SettingKey& key = SETTING_KEYS[i];
        if (!owed[i]) {
            // Left as the file has it, whoever wrote it, unless it is missing
            // or no 0 or 1: then this copy's value puts it right.
            std::string there = ReadSettingText(path, SETTINGS_SECTION, key.name);
            if (there == "0" || there == "1")
                continue;
        }
        if (WriteSettingInt(path, SETTINGS_SECTION, key.name, appState->*key.field ? 1 : 0))
            owed[i] = false;
    }
    return TRUE;
}

void ChangeSetting(AppState* appState, BYTE AppState::*field, BYTE value)
{
    appState->*field = value ? 1 : 0;
    for (size_t i = 0; i < SETTING_KEY_COUNT; ++i)
        owed[i] = owed[i] || SETTING_KEYS[i].field == field;
}

BYTE ReadSettingFlag(const wchar_t* path, const char* section, const char* key, BYTE defaultValue)
{
    std::string value = ReadSettingText(path, section, key);
    bool flag = false;
    if (!ParseSettingFlag(value.c_str(), &flag))
        return defaultValue;
    return flag ? 1 : 0;
}

BOOL WriteSettingInt(const wchar_t* path, const char* section, const char* key, int value)
{
    char text[SETTING_VALUE_SIZE];
    snprintf(text, sizeof(text), "%d", value);
    return WritePrivateProfileStringW(WideText(section).c_str(), WideText(key).c_str(), WideText(text).c_str(), path);
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

BOOL GetModulePathWithExtW(wchar_t* buffer, int size, const wchar_t* ext)
{
    DWORD length = GetModuleFileNameW(GetModuleHandleW(NULL), buffer, size);
    if (length == 0 || (int)length >= size)
        return FALSE;
    if (ext != NULL) {
        wchar_t* dot = NULL;  // the last one in the last path component
        for (wchar_t* p = buffer; *p != L'\0'; ++p)
            dot = *p == L'\\' ? NULL : *p == L'.' ? p : dot;
        if (dot != NULL)
            *dot = L'\0';
        if (wcslen(buffer) + wcslen(ext) >= (size_t)size)
            return FALSE;
        wcscat(buffer, ext);
    }
    for (wchar_t* p = buffer; *p != L'\0'; ++p) {
        if (*p >= L'A' && *p <= L'Z')
            *p = (wchar_t)(*p - L'A' + L'a');
    }
    return TRUE;
}
