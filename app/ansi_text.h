// Text between the program's ANSI code page and UTF-16, for the places
// where the system speaks UTF-16: file paths, the version resource, and
// what GDI draws (whose own ANSI functions keep the system's code page,
// which need not be the process's).
#ifndef VANTORA_ANSI_TEXT_H
#define VANTORA_ANSI_TEXT_H

#include <windows.h>

#include <string>

// A text the system gave in UTF-16, in the ANSI code page, whole.
std::string AnsiText(const wchar_t* text);
// An ANSI text in UTF-16, whole.
std::wstring WideText(const char* text);

#endif
