// Reading a settings value as a flag. Free of <windows.h>.
#ifndef VANTORA_SETTING_VALUE_H
#define VANTORA_SETTING_VALUE_H

// True when `text` begins with a decimal integer (leading white space and a
// sign allowed); `*flag` is then whether that integer is non-zero. Integers
// of any length are accepted: only zero versus non-zero matters.
bool ParseSettingFlag(const char* text, bool* flag);

#endif
