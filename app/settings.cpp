#include "app/settings.h"

#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include <string>

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

// Each key's value as this copy last read or wrote it. At a save, a key
// this copy has not changed since is left as the file has it, so that
// quitting one copy never takes back what another copy set meanwhile.
static const size_t SETTING_KEY_COUNT = sizeof(SETTING_KEYS) / sizeof(SETTING_KEYS[0]);
static BYTE valuesInFile[SETTING_KEY_COUNT];
static bool valuesInFileKnown;  // from the load on: before it, a save writes every key

static std::wstring WideText(const char* text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0);  // with the NUL
    if (length <= 0)
        return std::wstring();
    std::wstring wide((size_t)length, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
    wide.resize((size_t)length - 1);
    return wide;
}

std::string AnsiText(const wchar_t* text)
{
    int size = WideCharToMultiByte(CP_ACP, 0, text, -1, NULL, 0, NULL, NULL);  // with the NUL
    if (size <= 0)
        return std::string();
    std::string ansi((size_t)size, '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &ansi[0], size, NULL, NULL);
    ansi.resize((size_t)size - 1);
    return ansi;
}

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
        valuesInFile[i] = appState->*key.field;
    }
    valuesInFileKnown = true;
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
        BYTE value = appState->*key.field ? 1 : 0;
        // Unchanged here and held as a 0 or 1 there: the file's, whoever wrote it.
        std::string there = ReadSettingText(path, SETTINGS_SECTION, key.name);
        if (valuesInFileKnown && value == valuesInFile[i] && (there == "0" || there == "1"))
            continue;
        WriteSettingInt(path, SETTINGS_SECTION, key.name, value);
        valuesInFile[i] = value;
    }
    return TRUE;
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
