// The settings file beside the executable: the three view filters and the
// always-on-top flag, in one section.
#ifndef VANTORA_SETTINGS_H
#define VANTORA_SETTINGS_H

#include <windows.h>

struct AppState;

extern const char SETTINGS_SECTION[];
const int SETTINGS_PATH_SIZE = 264;
const int SETTING_VALUE_SIZE = 261;

BOOL LoadSettings(AppState* appState);
// Writes the keys this copy's user changed since the last save that wrote
// them, and puts right a key the file lacks or holds as no 0 or 1; every
// other key keeps what the file holds (another copy's choice).
BOOL SaveSettings(const AppState* appState);
// The user changed a stored flag: it takes the value, and the file owes it
// until a save writes it (changed and changed back, it is still owed).
void ChangeSetting(AppState* appState, BYTE AppState::*field, BYTE value);
// The settings file is named by the program's path as the system knows it
// (UTF-16): in a folder whose name the ANSI code page cannot hold (José,
// Pokémon) the ANSI path names a file that does not exist. Section, keys and
// values are the program's ANSI texts.
BYTE ReadSettingFlag(const wchar_t* path, const char* section, const char* key, BYTE defaultValue);
BOOL WriteSettingInt(const wchar_t* path, const char* section, const char* key, int value);
// The program's own path, lower-cased, with its extension replaced by `ext`
// (or `ext` appended). FALSE when the path cannot be had or would not fit.
BOOL GetModulePathWithExt(char* buffer, int size, const char* ext);
// The same for the path as the system knows it: A-Z lowered, nothing else.
BOOL GetModulePathWithExtW(wchar_t* buffer, int size, const wchar_t* ext);

#endif
