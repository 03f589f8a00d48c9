// Stands in for comctl32.dll in a program's folder. It does nothing but say
// that it was loaded: a named event for the process that loaded it, which
// lives as long as that process. It exports InitCommonControls only, enough
// for the probe program that imports it.
#include <windows.h>

#include <stdio.h>

extern "C" void WINAPI PlantedInitCommonControls()
{
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        char name[64];
        snprintf(name, sizeof(name), "VantoraPlantedComctl32-%lu", GetCurrentProcessId());
        CreateEventA(NULL, TRUE, TRUE, name);
    }
    return TRUE;
}
