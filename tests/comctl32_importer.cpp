// A program that imports comctl32.dll the usual way, to show that a planted
// one in its folder is taken when nothing stops it: ends with 1 when the
// planted library was loaded, 0 when the system's was.
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    InitCommonControls();
    char name[64];
    snprintf(name, sizeof(name), "VantoraPlantedComctl32-%lu", GetCurrentProcessId());
    HANDLE planted = OpenEventA(SYNCHRONIZE, FALSE, name);
    return planted != NULL ? 1 : 0;
}
