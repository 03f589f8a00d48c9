// Starts the real program and drives it from outside, as a user would.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "resources/resource_ids.h"
#include "tests/dialog_harness.h"
#include "tests/fixture_windows.h"

namespace {

const char* const KEYS[] = {"不可視ウィンドウを列挙する", "最小化されたウィンドウを列挙する",
                            "使用不可能なウィンドウを列挙する", "ウィンドウを最前面に表示"};

// The program running, ended by force if a test leaves it running.
struct Running {
    PROCESS_INFORMATION process = {};
    HWND dialog = NULL;
    ~Running()
    {
        if (process.hProcess == NULL)
            return;
        TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
};

std::string BuiltExe()
{
    return ToWindowsPath(VANTORA_EXE);
}

// Starts `exe` and waits for its main dialog.
bool Start(Running* running, const std::string& exe)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    std::string line = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &running->process))
        return false;
    DWORD id = running->process.dwProcessId;
    auto ours = [id](HWND window) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        return owner == id;
    };
    for (int i = 0; i < 400 && running->dialog == NULL; ++i) {
        Sleep(25);
        std::vector<HWND> dialogs = VisibleDialogs(ours);
        running->dialog = dialogs.empty() ? NULL : dialogs.front();
    }
    return running->dialog != NULL;
}

// The exit code, or 0xFFFFFFFF when the program did not end within 10 s.
DWORD WaitForExit(Running* running)
{
    DWORD code = 0xFFFFFFFF;
    if (WaitForSingleObject(running->process.hProcess, 10000) == WAIT_OBJECT_0)
        GetExitCodeProcess(running->process.hProcess, &code);
    return code;
}

// A copy of the program in a folder of its own, removed with its settings
// file however the test ends.
struct ProgramCopy {
    std::string folder;
    std::string exe;
    ProgramCopy(const std::string& folderName, const std::string& exeName)
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        folder = std::string(temp) + folderName;
        CreateDirectoryA(folder.c_str(), NULL);
        exe = folder + "\\" + exeName;
        DeleteIni();
        CopyFileA(BuiltExe().c_str(), exe.c_str(), FALSE);
    }
    ~ProgramCopy()
    {
        DeleteIni();
        DeleteFileA(exe.c_str());
        RemoveDirectoryA(folder.c_str());
    }
    // The names of the .ini files in the folder, exactly as they stand on disk.
    std::string IniFiles() const
    {
        std::string names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\*.ini").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
            names += std::string(names.empty() ? "" : " ") + found.cFileName;
        FindClose(search);
        return names;
    }
    void DeleteIni() const
    {
        for (const char* name : {"vantora.ini", "noext.ini"})
            DeleteFileA((folder + "\\" + name).c_str());
    }
    std::string Setting(const char* key) const
    {
        char value[16] = "";
        GetPrivateProfileStringA("Vantora", key, "missing", value, sizeof(value), (folder + "\\vantora.ini").c_str());
        return value;
    }
};

}  // namespace

TEST(EndToEndTest, SettingsFileIsNamedAfterTheProgramInLowerCase)
{
    const struct { const char* exe; const char* ini; } cases[] = {{"VanTora.EXE", "vantora.ini"}, {"NoExt", "noext.ini"}};
    for (const auto& c : cases) {
        ProgramCopy copy("vantora-e2e.some-dir", c.exe);  // a dot in a folder name is no extension
        Running running;
        ASSERT_TRUE(Start(&running, copy.exe)) << c.exe;
        PostMessageA(running.dialog, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, WaitForExit(&running));
        EXPECT_EQ(c.ini, copy.IniFiles());
    }
}

TEST(EndToEndTest, StartsPopulatedAndAltF4TheCloseBoxAndTheMenuEndWithCodeZeroAndSaveAllKeys)
{
    ProgramCopy copy("vantora-e2e-close", "vantora.exe");
    // The close box and Alt+F4 (WM_CLOSE, which becomes IDCANCEL); the menu.
    const UINT ways[][2] = {{WM_SYSCOMMAND, SC_CLOSE}, {WM_COMMAND, CMD_QUIT}};
    for (const auto& way : ways) {
        copy.DeleteIni();
        Running running;
        ASSERT_TRUE(Start(&running, copy.exe));
        EXPECT_EQ("Vantora", WindowText(running.dialog));
        int rows = (int)SendDlgItemMessageA(running.dialog, IDC_WINDOW_LIST, LVM_GETITEMCOUNT, 0, 0);
        EXPECT_GT(rows, 0);
        EXPECT_EQ(std::to_string(rows) + " 個のｳｨﾝﾄﾞｳ", WindowText(GetDlgItem(running.dialog, IDC_STATUS_LINE)));
        PostMessageA(running.dialog, way[0], way[1], 0);
        EXPECT_EQ(0u, WaitForExit(&running));
        for (const char* key : KEYS)
            EXPECT_EQ(key == KEYS[3] ? "0" : "1", copy.Setting(key)) << key;
    }
}

TEST(EndToEndTest, AlwaysOnTopSurvivesARestart)
{
    ProgramCopy copy("vantora-e2e-topmost", "vantora.exe");
    for (int run = 0; run < 2; ++run) {
        Running running;
        ASSERT_TRUE(Start(&running, copy.exe));
        // Off at the first start and turned on; on at the second, and turned off.
        EXPECT_EQ(run == 1, (GetWindowLongA(running.dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) << "run " << run;
        SendMessageA(running.dialog, WM_SYSCOMMAND, CMD_ALWAYS_ON_TOP, 0);
        PostMessageA(running.dialog, WM_COMMAND, CMD_QUIT, 0);
        EXPECT_EQ(0u, WaitForExit(&running));
        EXPECT_EQ(run == 0 ? "1" : "0", copy.Setting(KEYS[3])) << "run " << run;
    }
}

TEST(EndToEndTest, QuittingWhileAChangeWaitsForAHungWindowEndsAtOnceAndSaves)
{
    HungWindow hung;
    ASSERT_TRUE(StartHungWindow(&hung, "zqhung"));
    ProgramCopy copy("vantora-e2e-hung", "vantora.exe");
    Running running;
    ASSERT_TRUE(Start(&running, copy.exe));
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
    EXPECT_TRUE(StillHung(&hung));  // it did not wait for the window to answer
    EXPECT_EQ("0", copy.Setting(KEYS[0]));
}
