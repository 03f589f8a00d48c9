// Starts the real program and drives it from outside, as a user would.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "resources/resource_ids.h"
#include "tests/fixture_windows.h"

namespace {

struct Running {
    PROCESS_INFORMATION process;
    HWND dialog;
};

struct FindContext {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindDialogOfProcess(HWND window, LPARAM parameter)
{
    FindContext* context = (FindContext*)parameter;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[64] = "";
    GetClassNameA(window, className, sizeof(className));
    if (processId == context->processId && strcmp(className, "#32770") == 0 && IsWindowVisible(window)) {
        context->found = window;
        return FALSE;
    }
    return TRUE;
}

std::string ExePath(const std::string& path = VANTORA_EXE)
{
    return ToWindowsPath(path);
}

bool Start(Running* running, const std::string& exe = ExePath())
{
    *running = Running();
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    std::string line = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &running->process))
        return false;
    FindContext context = {running->process.dwProcessId, NULL};
    for (int i = 0; i < 400 && context.found == NULL; ++i) {
        Sleep(25);
        EnumWindows(FindDialogOfProcess, (LPARAM)&context);
    }
    running->dialog = context.found;
    return running->dialog != NULL;
}

DWORD WaitForExit(Running* running)
{
    DWORD code = 0xFFFFFFFF;
    if (WaitForSingleObject(running->process.hProcess, 10000) == WAIT_OBJECT_0)
        GetExitCodeProcess(running->process.hProcess, &code);
    else
        TerminateProcess(running->process.hProcess, 99);
    CloseHandle(running->process.hProcess);
    CloseHandle(running->process.hThread);
    return code;
}

}  // namespace

TEST(EndToEndTest, StartsPopulatedAndEndsWithCodeZeroWhenClosed)
{
    Running running;
    ASSERT_TRUE(Start(&running));
    char caption[64] = "";
    GetWindowTextA(running.dialog, caption, sizeof(caption));
    EXPECT_STREQ("Vantora", caption);
    HWND list = GetDlgItem(running.dialog, IDC_WINDOW_LIST);
    int rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    EXPECT_GT(rows, 0);
    char status[256] = "";
    GetWindowTextA(GetDlgItem(running.dialog, IDC_STATUS_LINE), status, sizeof(status));
    EXPECT_EQ(std::to_string(rows) + " 個のｳｨﾝﾄﾞｳ", status);

    // The close box arrives as WM_CLOSE, which the dialog manager turns into IDCANCEL.
    PostMessageA(running.dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, WaitForExit(&running));
}
