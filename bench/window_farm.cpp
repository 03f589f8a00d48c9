// Owns N top-level windows for the benchmark, in a process of its own as
// other programs' windows are: mixed titles, a quarter with an icon of their
// own (the rest share their class's), some hidden, some minimised.
// Usage: window_farm N READY-EVENT QUIT-EVENT
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

static HICON MakeIcon(int seed)
{
    BYTE andMask[32];
    BYTE xorMask[32];
    for (int i = 0; i < 32; ++i) {
        andMask[i] = 0;
        xorMask[i] = (BYTE)(seed * 37 + i * 11);
    }
    return CreateIcon(GetModuleHandleA(NULL), 16, 16, 1, 1, andMask, xorMask);
}

static void TitleOf(int i, char* title, size_t size)
{
    static const char* const stems[] = {"Farm window", "farm WINDOW", "", "ファーム", "Zeta", "alpha"};
    snprintf(title, size, i % 6 == 2 ? "" : "%s %05d", stems[i % 6], (i * 7919) % 100000);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (__argc < 4)
        return 2;
    int count = atoi(__argv[1]);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "VantoraBenchFarm";
    wc.hIconSm = MakeIcon(-1);
    RegisterClassExA(&wc);
    for (int i = 0; i < count; ++i) {
        char title[64];
        TitleOf(i, title, sizeof(title));
        HWND window = CreateWindowExA(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW, 10 + i % 50, 10 + i % 40,
                                      120, 60, NULL, NULL, instance, NULL);
        if (i % 4 == 0)
            SendMessageA(window, WM_SETICON, ICON_SMALL, (LPARAM)MakeIcon(i));
        if (i % 3 == 0)
            ShowWindow(window, i % 9 == 0 ? SW_SHOWMINNOACTIVE : SW_SHOWNOACTIVATE);
    }
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, __argv[2]);
    HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, __argv[3]);
    SetEvent(ready);
    // Answers the icon queries of every refresh until told to go.
    while (MsgWaitForMultipleObjects(1, &quit, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    return 0;
}
