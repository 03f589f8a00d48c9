// Starts the real program and drives it from outside, as a user would.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <ctype.h>
#include <stdio.h>

#include <algorithm>
#include <deque>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "vantora_version.h"
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

std::wstring Wide(const std::string& text)
{
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize((size_t)MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], (int)wide.size()) - 1);
    return wide;
}

std::string Narrow(const std::wstring& text)
{
    std::string narrow(text.size() * 2 + 1, '\0');
    narrow.resize((size_t)WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &narrow[0], (int)narrow.size(), NULL, NULL) - 1);
    return narrow;
}

std::wstring BuiltExe()
{
    return Wide(ToWindowsPath(VANTORA_EXE));
}

// Starts `exe` and waits for its main dialog.
bool Start(Running* running, const std::wstring& exe)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    std::wstring line = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &running->process))
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

// A copy of the program in a folder of its own (its name may hold letters
// the ANSI code page cannot), removed with its settings file however the
// test ends.
struct ProgramCopy {
    std::wstring folder;
    std::wstring exe;
    ProgramCopy(const std::wstring& folderName, const std::wstring& exeName)
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + folderName;
        CreateDirectoryW(folder.c_str(), NULL);
        exe = folder + L"\\" + exeName;
        DeleteIni();
        CopyFileW(BuiltExe().c_str(), exe.c_str(), FALSE);
    }
    ~ProgramCopy()
    {
        DeleteIni();
        DeleteFileW(exe.c_str());
        planted.clear();
        RemoveDirectoryW(folder.c_str());
    }
    // Puts a copy of `file` (a test program's) into the folder, as `name`.
    bool Plant(const std::string& file, const std::string& name)
    {
        planted.emplace_back(TestExeDirectory() + "\\" + file, Narrow(folder) + "\\" + name);
        return planted.back().planted;
    }
    std::deque<PlantedFile> planted;
    // The names of the .ini files in the folder, exactly as they stand on disk.
    std::string IniFiles() const
    {
        std::string names;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\*.ini").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
            names += std::string(names.empty() ? "" : " ") + Narrow(found.cFileName);
        FindClose(search);
        return names;
    }
    void DeleteIni() const
    {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\*.ini").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
            DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        FindClose(search);
    }
    std::string Setting(const char* key) const
    {
        wchar_t value[16] = L"";
        GetPrivateProfileStringW(L"Vantora", Wide(key).c_str(), L"missing", value, 16, (folder + L"\\vantora.ini").c_str());
        return Narrow(value);
    }
};

// Makes Wine take comctl32.dll from the folder of the programs of these
// names, as Windows does for any library that is not a KnownDLL; undone
// however the test ends.
struct LibraryBesideTheProgramFirst {
    std::vector<std::string> keys;
    explicit LibraryBesideTheProgramFirst(std::initializer_list<const char*> programs)
    {
        for (const char* program : programs) {
            keys.push_back(std::string("Software\\Wine\\AppDefaults\\") + program);
            HKEY key = NULL;
            RegCreateKeyExA(HKEY_CURRENT_USER, (keys.back() + "\\DllOverrides").c_str(), 0, NULL, 0, KEY_ALL_ACCESS,
                            NULL, &key, NULL);
            RegSetValueExA(key, "comctl32", 0, REG_SZ, (const BYTE*)"native,builtin", 15);
            RegCloseKey(key);
        }
    }
    ~LibraryBesideTheProgramFirst()
    {
        for (const std::string& key : keys) {
            RegDeleteKeyA(HKEY_CURRENT_USER, (key + "\\DllOverrides").c_str());
            RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
        }
    }
};

// The libraries named in the import and delay-import tables of an
// executable of this build's own kind, lower case.
std::vector<std::string> ImportedLibraries(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto* nt = (const IMAGE_NT_HEADERS*)&image[((const IMAGE_DOS_HEADER*)image.data())->e_lfanew];
    const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(nt);
    auto at = [&](DWORD rva) -> const char* {  // where a virtual address lies in the file
        for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            if (rva - sections[i].VirtualAddress < sections[i].Misc.VirtualSize)
                return &image[rva - sections[i].VirtualAddress + sections[i].PointerToRawData];
        }
        return NULL;
    };
    const IMAGE_DATA_DIRECTORY* directory = nt->OptionalHeader.DataDirectory;
    std::vector<std::string> names;
    for (auto* d = (const IMAGE_IMPORT_DESCRIPTOR*)at(directory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
         d != NULL && d->Name != 0; ++d)
        names.push_back(at(d->Name));
    for (auto* d = (const IMAGE_DELAYLOAD_DESCRIPTOR*)at(directory[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT].VirtualAddress);
         d != NULL && d->DllNameRVA != 0; ++d)
        names.push_back(at(d->DllNameRVA));
    for (std::string& name : names)
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return (char)tolower(c); });
    return names;
}

// Where a process took the library `name` from, lower case ("": nowhere).
std::string LoadedFrom(DWORD process, const char* name)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process);
    MODULEENTRY32 module = {sizeof(module)};
    std::string path;
    for (BOOL more = Module32First(snapshot, &module); more; more = Module32Next(snapshot, &module))
        path = _stricmp(module.szModule, name) == 0 ? CharLowerA(module.szExePath) : path;
    CloseHandle(snapshot);
    return path;
}

}  // namespace

TEST(EndToEndTest, TheImportTableNamesOnlyLibrariesWindowsTakesFromItsOwnFolder)
{
    // The KnownDLLs of Windows 10 (a user can add but not remove any).
    const std::set<std::string> known = {"advapi32.dll", "comdlg32.dll", "gdi32.dll",  "gdiplus.dll", "imm32.dll",
                                         "kernel32.dll", "msvcrt.dll",   "ole32.dll",  "oleaut32.dll", "psapi.dll",
                                         "rpcrt4.dll",   "shell32.dll",  "shlwapi.dll", "user32.dll",  "ws2_32.dll"};
    std::vector<std::string> imported = ImportedLibraries(VANTORA_EXE);
    ASSERT_FALSE(imported.empty());
    for (const std::string& name : imported)
        EXPECT_EQ(1u, known.count(name)) << name;
}

TEST(EndToEndTest, AComctl32BesideTheProgramIsNeverLoaded)
{
    ProgramCopy copy(L"vantora-e2e-planted", L"vantora.exe");
    ASSERT_TRUE(copy.Plant("planted-comctl32\\comctl32.dll", "comctl32.dll"));
    ASSERT_TRUE(copy.Plant("comctl32_importer.exe", "importer.exe"));
    LibraryBesideTheProgramFirst preferred({"vantora.exe", "importer.exe"});
    // A program that imports it the usual way takes the planted one.
    Running importer;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    ASSERT_TRUE(CreateProcessA(copy.planted.back().path.c_str(), NULL, NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                               &importer.process));
    EXPECT_EQ(1u, WaitForExit(&importer));

    Running running;
    ASSERT_TRUE(Start(&running, copy.exe));
    EXPECT_GT(SendDlgItemMessageA(running.dialog, IDC_WINDOW_LIST, LVM_GETITEMCOUNT, 0, 0), 0);
    // The common controls of the manifest's 6.0 assembly (the current look),
    // from the system's side-by-side store.
    std::string comctl32 = LoadedFrom(running.process.dwProcessId, "comctl32.dll");
    EXPECT_NE(std::string::npos, comctl32.find("microsoft.windows.common-controls_6595b64144ccf1df_6.0.")) << comctl32;
    char planted[64];
    snprintf(planted, sizeof(planted), "VantoraPlantedComctl32-%lu", running.process.dwProcessId);
    EXPECT_EQ(nullptr, OpenEventA(SYNCHRONIZE, FALSE, planted));
    PostMessageA(running.dialog, WM_COMMAND, CMD_QUIT, 0);
    EXPECT_EQ(0u, WaitForExit(&running));
}

TEST(EndToEndTest, SettingsFileIsNamedAfterTheProgramInLowerCase)
{
    const struct { const wchar_t* exe; const char* ini; } cases[] = {
        {L"VanTora.EXE", "vantora.ini"}, {L"NoExt", "noext.ini"}, {L"Van.Tora.EXE", "van.tora.ini"}};
    for (const auto& c : cases) {
        ProgramCopy copy(L"vantora-e2e.some-dir", c.exe);  // a dot in a folder name is no extension
        Running running;
        ASSERT_TRUE(Start(&running, copy.exe)) << c.ini;
        PostMessageA(running.dialog, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, WaitForExit(&running));
        EXPECT_EQ(c.ini, copy.IniFiles());
    }
}

TEST(EndToEndTest, StartsPopulatedAndAltF4TheCloseBoxAndTheMenuEndWithCodeZeroAndSaveAllKeys)
{
    ProgramCopy copy(L"vantora-e2e-close", L"vantora.exe");
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

TEST(EndToEndTest, SettingsSurviveARestartAndTheAboutBoxReadsItsVersionInAFolderOfAnyName)
{
    // The second folder's name has a letter that code page 932 cannot hold.
    for (const wchar_t* folder : {L"vantora-e2e-topmost", L"vantora-e2e-Pok\u00e9mon"}) {
        ProgramCopy copy(folder, L"vantora.exe");
        for (int run = 0; run < 2; ++run) {
            SCOPED_TRACE(Narrow(folder) + " run " + std::to_string(run));
            Running running;
            ASSERT_TRUE(Start(&running, copy.exe));
            // Off at the first start and turned on; on at the second, and turned off.
            EXPECT_EQ(run == 1, (GetWindowLongA(running.dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
            SendMessageA(running.dialog, WM_SYSCOMMAND, CMD_ALWAYS_ON_TOP, 0);
            PostMessageA(running.dialog, WM_COMMAND, CMD_ABOUT, 0);
            HWND box = NULL;
            for (int i = 0; i < 200 && box == NULL; ++i, Sleep(25)) {
                std::vector<HWND> owned = VisibleDialogs([&](HWND w) { return GetWindow(w, GW_OWNER) == running.dialog; });
                box = owned.empty() ? NULL : owned.front();
            }
            ASSERT_NE(nullptr, box);
            EXPECT_EQ(std::string("Vantora ver. ") + VANTORA_VERSION_TEXT, WindowText(GetDlgItem(box, IDC_ABOUT_VERSION)));
            EXPECT_NE(0, SendDlgItemMessageA(box, IDC_ABOUT_ICON, STM_GETICON, 0, 0));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            PostMessageA(running.dialog, WM_COMMAND, CMD_QUIT, 0);
            EXPECT_EQ(0u, WaitForExit(&running));
            EXPECT_EQ(run == 0 ? "1" : "0", copy.Setting(KEYS[3]));
        }
    }
}

TEST(EndToEndTest, QuittingOneCopyKeepsWhatAnotherCopyJustSet)
{
    ProgramCopy copy(L"vantora-e2e-two", L"vantora.exe");
    Running earlier, later;
    ASSERT_TRUE(Start(&earlier, copy.exe));
    ASSERT_TRUE(Start(&later, copy.exe));
    SendMessageA(later.dialog, WM_COMMAND, CMD_VIEW_INVISIBLE, 0);  // written at once
    EXPECT_EQ("0", copy.Setting(KEYS[0]));
    // Always on top: turned on and off in the earlier copy, on in the later, which quits first.
    for (HWND dialog : {earlier.dialog, earlier.dialog, later.dialog})
        SendMessageA(dialog, WM_SYSCOMMAND, CMD_ALWAYS_ON_TOP, 0);
    PostMessageA(later.dialog, WM_COMMAND, CMD_QUIT, 0);
    EXPECT_EQ(0u, WaitForExit(&later));
    EXPECT_EQ("1", copy.Setting(KEYS[3]));
    PostMessageA(earlier.dialog, WM_COMMAND, CMD_QUIT, 0);
    EXPECT_EQ(0u, WaitForExit(&earlier));
    // The later copy's filter stays; the earlier copy's last choice is kept.
    EXPECT_EQ("0|1|1|0", copy.Setting(KEYS[0]) + "|" + copy.Setting(KEYS[1]) + "|" + copy.Setting(KEYS[2]) + "|" +
                             copy.Setting(KEYS[3]));
}

TEST(EndToEndTest, QuittingWhileAChangeWaitsForAHungWindowEndsAtOnceAndSaves)
{
    HungWindow hung;
    ASSERT_TRUE(StartHungWindow(&hung, "zqhung"));
    ProgramCopy copy(L"vantora-e2e-hung", L"vantora.exe");
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
