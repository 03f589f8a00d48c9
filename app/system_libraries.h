// The libraries the program loads itself rather than through its import
// table. Windows takes only its KnownDLLs always from the system folder;
// any other library named in the import table (COMCTL32, VERSION) would be
// loaded from the program's folder if a file of that name lay there (a
// Downloads folder, an unpacked archive), and its code would run with the
// user's rights. So these two are loaded from the system folder only (COMCTL32
// through the manifest's 6.0 assembly where there is one), and their
// functions taken by name.
#ifndef VANTORA_SYSTEM_LIBRARIES_H
#define VANTORA_SYSTEM_LIBRARIES_H

#include <windows.h>
#include <commctrl.h>

// Keeps every later load by a bare name out of the program's and the
// current folder: the system folder alone where the system can do that,
// else at least not the current folder. Called first thing at start.
void ProtectLibrarySearch();

// The common controls' functions the program uses; NULL when the library
// or one of them could not be had.
struct CommonControls {
    void(WINAPI* initCommonControls)();
    HIMAGELIST(WINAPI* imageListCreate)(int cx, int cy, UINT flags, int initial, int grow);
    BOOL(WINAPI* imageListDestroy)(HIMAGELIST list);
    int(WINAPI* imageListReplaceIcon)(HIMAGELIST list, int index, HICON icon);
    BOOL(WINAPI* imageListRemove)(HIMAGELIST list, int index);
};
const CommonControls* LoadCommonControls();

// The version resource functions, or NULL. The wide ones: the program's
// path may hold letters that the ANSI code page cannot.
struct VersionFunctions {
    DWORD(WINAPI* getFileVersionInfoSize)(LPCWSTR path, LPDWORD handle);
    BOOL(WINAPI* getFileVersionInfo)(LPCWSTR path, DWORD handle, DWORD size, LPVOID data);
    BOOL(WINAPI* verQueryValue)(LPCVOID block, LPCWSTR subBlock, LPVOID* buffer, PUINT length);
};
const VersionFunctions* LoadVersionFunctions();

// A library from the system folder by its file name; NULL if it is not there.
HMODULE LoadSystemLibrary(const char* name);

#endif
