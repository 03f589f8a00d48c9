#include "app/system_libraries.h"

#include <string.h>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

typedef BOOL(WINAPI* SetDefaultDllDirectoriesProc)(DWORD flags);
typedef BOOL(WINAPI* SetDllDirectoryProc)(LPCSTR path);

void ProtectLibrarySearch()
{
    // Taken by name: Windows before 8 (without its 2011 update) has neither,
    // XP before SP1 not even the second.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    SetDefaultDllDirectoriesProc setDefault =
        (SetDefaultDllDirectoriesProc)GetProcAddress(kernel, "SetDefaultDllDirectories");
    if (setDefault != NULL && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    SetDllDirectoryProc setDirectory = (SetDllDirectoryProc)GetProcAddress(kernel, "SetDllDirectoryA");
    if (setDirectory != NULL)
        setDirectory("");  // takes the current folder out of the search
}

HMODULE LoadSystemLibrary(const char* name)
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, sizeof(path));
    if (length == 0 || length + 1 + strlen(name) >= sizeof(path))
        return NULL;
    strcat(path, "\\");
    strcat(path, name);
    return LoadLibraryA(path);
}

template <typename Function>
static bool Take(HMODULE library, const char* name, Function* slot)
{
    *slot = library != NULL ? (Function)GetProcAddress(library, name) : NULL;
    return *slot != NULL;
}

const CommonControls* LoadCommonControls()
{
    static CommonControls functions;
    static bool loaded = false;
    if (!loaded) {
        // By name, so that the manifest's activation context gives the 6.0
        // assembly; where that context gives none, the system folder's copy
        // and never another. A full path would bypass the manifest (version
        // 5, the old look). Before Windows 8 without its 2011 update the
        // flag is unknown: there the full path is the safe way.
        HMODULE library = LoadLibraryExA("comctl32.dll", NULL, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (library == NULL)
            library = LoadSystemLibrary("comctl32.dll");
        loaded = Take(library, "InitCommonControls", &functions.initCommonControls) &&
                 Take(library, "ImageList_Create", &functions.imageListCreate) &&
                 Take(library, "ImageList_Destroy", &functions.imageListDestroy) &&
                 Take(library, "ImageList_ReplaceIcon", &functions.imageListReplaceIcon) &&
                 Take(library, "ImageList_Remove", &functions.imageListRemove);
    }
    return loaded ? &functions : NULL;
}

const VersionFunctions* LoadVersionFunctions()
{
    static VersionFunctions functions;
    static bool loaded = false;
    if (!loaded) {
        HMODULE library = LoadSystemLibrary("version.dll");
        loaded = Take(library, "GetFileVersionInfoSizeW", &functions.getFileVersionInfoSize) &&
                 Take(library, "GetFileVersionInfoW", &functions.getFileVersionInfo) &&
                 Take(library, "VerQueryValueW", &functions.verQueryValue);
    }
    return loaded ? &functions : NULL;
}
