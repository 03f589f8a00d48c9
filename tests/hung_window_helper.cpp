// Shows one window, then stops answering messages until the event named on
// the command line is set, or for ten seconds at most: a hung program for the
// tests. It sets the second event when it wakes, then answers messages again
// until it is ended.
// Usage: hung_window_helper RELEASE-EVENT WOKE-EVENT TITLE
#include <windows.h>

#include <stdlib.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (__argc < 4)
        return 2;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "VantoraHungFixture";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPEDWINDOW, 50, 50, 200, 100, NULL, NULL,
                                  instance, NULL);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);

    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, __argv[1]);
    HANDLE woke = OpenEventA(EVENT_MODIFY_STATE, FALSE, __argv[2]);
    // Found by its title only from here on, when it no longer answers.
    SetWindowTextA(window, __argv[3]);
    WaitForSingleObject(release, 10000);  // no messages are read meanwhile
    SetEvent(woke);
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
