// Shows one window, then stops answering messages until the event named on
// the command line is set: a hung program for the tests. Once woken it
// answers what piled up meanwhile, and ends when nothing more comes.
#include <windows.h>

#include <string.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    char releaseName[64] = "";
    const char* space = strchr(commandLine, ' ');
    if (space == NULL)
        return 2;
    size_t n = (size_t)(space - commandLine) < sizeof(releaseName) - 1 ? space - commandLine : sizeof(releaseName) - 1;
    memcpy(releaseName, commandLine, n);
    const char* title = space + 1;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "VantoraHungFixture";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW, 50, 50, 200, 100, NULL, NULL,
                                  instance, NULL);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);

    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, releaseName);
    WaitForSingleObject(release, 60000);  // no messages are read meanwhile
    while (MsgWaitForMultipleObjects(0, NULL, FALSE, 300, QS_ALLINPUT) != WAIT_TIMEOUT) {
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    return 0;
}
