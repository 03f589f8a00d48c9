// The About box as the Help menu opens it, from the real resources.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "about/about_box.h"
#include "app/sjis_text.h"
#include "resources/resource_ids.h"
#include "tests/dialog_harness.h"
#include "tests/fixture_windows.h"

namespace {

// What the open box showed, read from inside its modal loop.
struct Seen {
    std::string caption;
    std::string version;
    std::string link;
    std::string resources;
    bool handOverLink = false;
    bool handOverVersion = false;
    HFONT linkFont = NULL;
    bool linkFontUnderlined = false;
    HICON icons[3] = {};
    std::string tip;  // "window:text" of each tool of the box's tooltip
};

BOOL CALLBACK ReadTips(HWND window, LPARAM seen)
{
    char name[32] = "";
    GetClassNameA(window, name, sizeof(name));
    if (strcmp(name, TOOLTIPS_CLASSA) != 0)
        return TRUE;
    char text[80] = "";
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.lpszText = text;
    for (int i = 0; SendMessageA(window, TTM_ENUMTOOLSA, i, (LPARAM)&tool); ++i)
        ((Seen*)seen)->tip += std::to_string(GetDlgCtrlID((HWND)tool.uId)) + ":" + text;
    return TRUE;
}

Seen ReadBox(HWND box)
{
    Seen seen;
    seen.caption = WindowText(box);
    seen.version = ItemText(box, IDC_ABOUT_VERSION);
    seen.link = ItemText(box, IDC_ABOUT_LINK);
    seen.resources = ItemText(box, IDC_ABOUT_RESOURCES);
    HCURSOR hand = LoadCursorA(GetModuleHandleA(NULL), "IDC_CURSOR_HAND");
    for (int id : {IDC_ABOUT_LINK, IDC_ABOUT_VERSION}) {
        SetCursor(LoadCursorA(NULL, IDC_ARROW));
        SendMessageA(box, WM_SETCURSOR, (WPARAM)GetDlgItem(box, id), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        (id == IDC_ABOUT_LINK ? seen.handOverLink : seen.handOverVersion) = GetCursor() == hand;
    }
    seen.linkFont = (HFONT)GetPropA(box, ABPROP_FONTURL);
    LOGFONTA font = {};
    seen.linkFontUnderlined = GetObjectA(seen.linkFont, sizeof(font), &font) != 0 && font.lfUnderline;
    seen.icons[0] = (HICON)SendMessageA(box, WM_GETICON, ICON_BIG, 0);
    seen.icons[1] = (HICON)SendMessageA(box, WM_GETICON, ICON_SMALL, 0);
    seen.icons[2] = (HICON)SendDlgItemMessageA(box, IDC_ABOUT_ICON, STM_GETICON, 0, 0);
    EnumThreadWindows(GetCurrentThreadId(), ReadTips, (LPARAM)&seen);
    return seen;
}

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        main = OpenMainDialog(NewAppState());
        ASSERT_NE(nullptr, main.dialog);
    }
    void TearDown() override
    {
        StopWatchingForDialogs();
        CloseMainDialog(&main);
    }
    // Opens the box as command 40001 does, runs `action` on it, and returns
    // how it ended.
    INT_PTR Run(const std::function<void(HWND)>& action)
    {
        WhenDialogOpens(main.dialog, action);
        AboutBoxConfig config;
        FillProgramAboutConfig(&config);
        return RunAboutBox(main.dialog, &config);
    }
    MainDialog main = {};
};

// Ends any box but the first, so that a second one fails the test instead
// of waiting in its own modal loop.
HWND firstBox;
int otherBoxes;

BOOL CALLBACK EndOtherBox(HWND window, LPARAM)
{
    char name[16] = "";
    GetClassNameA(window, name, sizeof(name));
    if (window != firstBox && strcmp(name, "#32770") == 0 && GetWindow(window, GW_OWNER) != NULL) {
        ++otherBoxes;
        EndDialog(window, IDCANCEL);
    }
    return TRUE;
}

void CALLBACK EndOtherBoxes(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), EndOtherBox, 0);
}

std::string PlantedLibrary()
{
    return TestExeDirectory() + "\\planted\\rsrc32.dll";
}

}  // namespace

TEST_F(AboutBoxTest, TheHelpMenuOpensOneBoxWithTitleVersionAndLink)
{
    Seen seen;
    otherBoxes = 0;
    bool secondRequestActivatedIt = false;
    WhenDialogOpens(main.dialog, [&](HWND box) {
        seen = ReadBox(box);
        HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, NULL, NULL, NULL, NULL);
        SetActiveWindow(other);
        firstBox = box;
        UINT_PTR timer = SetTimer(NULL, 0, 50, EndOtherBoxes);
        SendCommand(main.dialog, CMD_ABOUT);
        KillTimer(NULL, timer);
        secondRequestActivatedIt = GetActiveWindow() == box;
        DestroyWindow(other);
        ClickButton(box, IDOK);
    });
    SendCommand(main.dialog, CMD_ABOUT);
    EXPECT_EQ(1, DialogsSeen());
    EXPECT_EQ("Vantora について", seen.caption);
    EXPECT_EQ("Vantora ver. 0.05", seen.version);
    EXPECT_EQ(SUPPORT_PAGE_URL, seen.link);
    EXPECT_EQ(std::to_string(IDC_ABOUT_LINK) + ":サポートサイトへ", seen.tip);
    EXPECT_TRUE(seen.handOverLink);
    EXPECT_FALSE(seen.handOverVersion);
    EXPECT_EQ(0, otherBoxes);
    EXPECT_TRUE(secondRequestActivatedIt);
    EXPECT_EQ(nullptr, GetOpenAboutBox());
}

TEST_F(AboutBoxTest, EscAndTheCloseBoxCancelOkConfirms)
{
    EXPECT_EQ(IDCANCEL, Run([](HWND box) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); }));
    EXPECT_EQ(IDCANCEL, Run([](HWND box) { PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); }));
    EXPECT_EQ(IDOK, Run([](HWND box) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); }));
}

TEST_F(AboutBoxTest, ItsFontAndIconsAreReleasedWhenItCloses)
{
    Seen seen;
    Run([&](HWND box) {
        seen = ReadBox(box);
        ClickButton(box, IDOK);
    });
    EXPECT_TRUE(seen.linkFontUnderlined);
    LOGFONTA font;
    EXPECT_EQ(0, GetObjectA(seen.linkFont, sizeof(font), &font));
    for (HICON icon : seen.icons) {
        ASSERT_NE(nullptr, icon);
        ICONINFO info = {};
        EXPECT_FALSE(GetIconInfo(icon, &info));
    }
}

TEST_F(AboutBoxTest, ResourcesLineComesOnlyFromTheSystemsOwnLibrary)
{
    // Planted beside the program and in the current folder, where the
    // default search order would find it.
    char oldDirectory[MAX_PATH];
    GetCurrentDirectoryA(sizeof(oldDirectory), oldDirectory);
    std::string beside = TestExeDirectory() + "\\rsrc32.dll";
    std::string current = TestExeDirectory() + "\\planted";
    ASSERT_TRUE(CopyFileA(PlantedLibrary().c_str(), beside.c_str(), FALSE));
    SetCurrentDirectoryA(current.c_str());
    HMODULE found = LoadLibraryA("rsrc32.dll");
    EXPECT_NE(nullptr, found) << "the planted copies are where a plain load looks";
    FreeLibrary(found);
    Seen planted;
    Run([&](HWND box) {
        planted = ReadBox(box);
        ClickButton(box, IDOK);
    });
    SetCurrentDirectoryA(oldDirectory);
    DeleteFileA(beside.c_str());
    EXPECT_EQ("", planted.resources);

    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof(system));
    std::string installed = std::string(system) + "\\rsrc32.dll";
    ASSERT_TRUE(CopyFileA(PlantedLibrary().c_str(), installed.c_str(), FALSE));
    Seen real;
    Run([&](HWND box) {
        real = ReadBox(box);
        ClickButton(box, IDOK);
    });
    DeleteFileA(installed.c_str());
    EXPECT_EQ("システムリソース： 42 ％使用可能", real.resources);
}

TEST_F(AboutBoxTest, AClickOnTheLinkOpensExactlyTheAddressAndCloses)
{
    // The https handler of this prefix, for the length of the test.
    HKEY key = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, "https\\shell\\open\\command", 0, NULL, 0,
                                             KEY_READ | KEY_WRITE, NULL, &key, NULL));
    char previous[1024] = "";
    DWORD previousSize = sizeof(previous);
    bool hadPrevious = RegQueryValueExA(key, NULL, NULL, NULL, (BYTE*)previous, &previousSize) == ERROR_SUCCESS;
    std::string handler = "\"" + TestExeDirectory() + "\\shell_open_recorder.exe\" \"%1\"";
    RegSetValueExA(key, NULL, 0, REG_SZ, (const BYTE*)handler.c_str(), (DWORD)handler.size() + 1);
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string opened = std::string(temp) + "vantora-opened.txt";
    DeleteFileA(opened.c_str());
    SetEnvironmentVariableA("VANTORA_OPENED_FILE", opened.c_str());

    INT_PTR result = Run([](HWND box) {
        HWND link = GetDlgItem(box, IDC_ABOUT_LINK);
        RECT r;
        GetClientRect(link, &r);
        POINT p = {r.right / 2, r.bottom / 2};
        ClientToScreen(link, &p);
        SetCursorPos(p.x, p.y);
        SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right / 2, r.bottom / 2));
        SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(r.right / 2, r.bottom / 2));
    });
    std::string target;
    for (int i = 0; i < 100 && target.empty(); ++i) {
        Sleep(50);
        FILE* file = fopen(opened.c_str(), "rb");
        if (file != NULL) {
            char text[1024] = "";
            target = fgets(text, sizeof(text), file) != NULL ? text : "";
            fclose(file);
        }
    }
    if (hadPrevious)
        RegSetValueExA(key, NULL, 0, REG_SZ, (const BYTE*)previous, (DWORD)strlen(previous) + 1);
    else
        RegDeleteValueA(key, NULL);
    RegCloseKey(key);
    DeleteFileA(opened.c_str());

    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(SUPPORT_PAGE_URL, target);
}

TEST_F(AboutBoxTest, OneOpeningInAThousandShowsTheOtherTitle)
{
    unsigned seed = 1;
    for (;; ++seed) {
        srand(seed);
        if (rand() % 1000 == 0)
            break;
    }
    srand(seed);
    std::string caption;
    Run([&](HWND box) {
        caption = WindowText(box);
        ClickButton(box, IDOK);
    });
    EXPECT_EQ("-時には、翼のない天使のように-", caption);
}

TEST(AboutTextTest, LongVersionValuesAreCutWholeAt260Bytes)
{
    static AboutVersionTexts texts;
    std::string name;
    while (name.size() < 300)
        name += "版";
    SjisCopyTruncated(texts.productName, name.c_str(), sizeof(texts.productName));
    strcpy(texts.productVersion, "1.0");
    ComposeAboutVersionTexts(&texts);
    for (const char* text : {(const char*)texts.title, (const char*)texts.versionLine, (const char*)texts.productName}) {
        size_t length = strlen(text);
        EXPECT_EQ(260u, length);  // 130 whole characters; the suffix does not fit
        EXPECT_NE(SJIS_LEAD, SjisByteKind(text, length - 1));
    }
    char line[35];
    FormatResourcesLine(line, sizeof(line), -2147483647);
    EXPECT_LE(strlen(line), 34u);
    EXPECT_NE(SJIS_LEAD, SjisByteKind(line, strlen(line) - 1));
}
