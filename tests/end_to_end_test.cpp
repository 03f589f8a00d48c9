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

namespace {

std::string TempFolder(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string folder = std::string(temp) + name;
    CreateDirectoryA(folder.c_str(), NULL);
    return folder;
}

// The names of the .ini files in a folder, exactly as they stand on disk.
std::string IniFilesIn(const std::string& folder)
{
    std::string names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.ini").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names += std::string(names.empty() ? "" : " ") + found.cFileName;
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

void RunAndClose(const std::string& exe)
{
    Running running;
    ASSERT_TRUE(Start(&running, exe)) << exe;
    PostMessageA(running.dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, WaitForExit(&running));
}

}  // namespace

TEST(EndToEndTest, SettingsFileIsNamedAfterTheProgramInLowerCase)
{
    std::string root = TempFolder("vantora-e2e");
    std::string folder = root + "\\Some.Dir";
    CreateDirectoryA(folder.c_str(), NULL);
    DeleteFileA((folder + "\\vantora.ini").c_str());
    std::string exe = folder + "\\VanTora.EXE";
    ASSERT_TRUE(CopyFileA(ExePath().c_str(), exe.c_str(), FALSE));
    RunAndClose(exe);
    EXPECT_EQ("vantora.ini", IniFilesIn(folder));

    std::string bare = folder + "\\NoExt";
    ASSERT_TRUE(CopyFileA(ExePath().c_str(), bare.c_str(), FALSE));
    DeleteFileA((folder + "\\vantora.ini").c_str());
    RunAndClose(bare);
    EXPECT_EQ("noext.ini", IniFilesIn(folder));
    DeleteFileA((folder + "\\noext.ini").c_str());
    DeleteFileA(exe.c_str());
    DeleteFileA(bare.c_str());
}

TEST(EndToEndTest, AltF4AndTheCloseBoxEndWithCodeZeroAndSaveAllKeys)
{
    std::string folder = TempFolder("vantora-e2e-close");
    std::string exe = folder + "\\vantora.exe";
    std::string ini = folder + "\\vantora.ini";
    ASSERT_TRUE(CopyFileA(ExePath().c_str(), exe.c_str(), FALSE));
    const char* keys[] = {"不可視ウィンドウを列挙する", "最小化されたウィンドウを列挙する",
                          "使用不可能なウィンドウを列挙する", "ウィンドウを最前面に表示"};
    for (int way = 0; way < 2; ++way) {
        DeleteFileA(ini.c_str());
        Running running;
        ASSERT_TRUE(Start(&running, exe));
        if (way == 0)
            PostMessageA(running.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box and Alt+F4
        else
            PostMessageA(running.dialog, WM_COMMAND, CMD_QUIT, 0);    // the menu item
        EXPECT_EQ(0u, WaitForExit(&running));
        for (const char* key : keys) {
            char value[16] = "";
            GetPrivateProfileStringA("Vantora", key, "missing", value, sizeof(value), ini.c_str());
            EXPECT_STREQ(strcmp(key, keys[3]) == 0 ? "0" : "1", value) << key;
        }
    }
    DeleteFileA(ini.c_str());
    DeleteFileA(exe.c_str());
}

TEST(EndToEndTest, AlwaysOnTopSurvivesARestart)
{
    std::string folder = TempFolder("vantora-e2e-topmost");
    std::string exe = folder + "\\vantora.exe";
    std::string ini = folder + "\\vantora.ini";
    ASSERT_TRUE(CopyFileA(ExePath().c_str(), exe.c_str(), FALSE));
    DeleteFileA(ini.c_str());
    for (int run = 0; run < 3; ++run) {
        Running running;
        ASSERT_TRUE(Start(&running, exe));
        // Off at the first start; the first run turns it on, the second
        // finds it on and turns it off, the third finds it off.
        bool topmost = (GetWindowLongA(running.dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        EXPECT_EQ(run == 1, topmost) << "run " << run;
        if (run < 2)
            SendMessageA(running.dialog, WM_SYSCOMMAND, CMD_ALWAYS_ON_TOP, 0);
        PostMessageA(running.dialog, WM_COMMAND, CMD_QUIT, 0);
        EXPECT_EQ(0u, WaitForExit(&running));
    }
    DeleteFileA(ini.c_str());
    DeleteFileA(exe.c_str());
}

TEST(EndToEndTest, QuittingWhileAChangeWaitsForAHungWindowEndsAtOnceAndSaves)
{
    HungWindow hung;
    ASSERT_TRUE(StartHungWindow(&hung, "zqhung"));
    std::string folder = TempFolder("vantora-e2e-hung");
    std::string exe = folder + "\\vantora.exe";
    std::string ini = folder + "\\vantora.ini";
    ASSERT_TRUE(CopyFileA(ExePath().c_str(), exe.c_str(), FALSE));
    DeleteFileA(ini.c_str());
    Running running;
    ASSERT_TRUE(Start(&running, exe));
    // With invisible windows left out, the hung window's is the only row,
    // and so the selected one.
    HWND list = GetDlgItem(running.dialog, IDC_WINDOW_LIST);
    PostMessageA(running.dialog, WM_COMMAND, CMD_VIEW_INVISIBLE, 0);
    for (int i = 0; i < 200 && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) != 1; ++i)
        Sleep(25);
    ASSERT_EQ(1, (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(0, (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED));
    PostMessageA(running.dialog, WM_COMMAND, CMD_ENABLE, 0);
    PostMessageA(running.dialog, WM_COMMAND, CMD_QUIT, 0);
    EXPECT_EQ(0u, WaitForExit(&running));
    char value[16] = "";
    GetPrivateProfileStringA("Vantora", "不可視ウィンドウを列挙する", "missing", value, sizeof(value), ini.c_str());
    EXPECT_STREQ("0", value);
    StopHungWindow(&hung);
    DeleteFileA(ini.c_str());
    DeleteFileA(exe.c_str());
}
