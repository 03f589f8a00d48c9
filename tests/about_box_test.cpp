// The About box as the Help menu opens it, from the real resources.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "about/about_box.h"
#include "about/link_label.h"
#include "app/sjis_text.h"
#include "resources/resource_ids.h"
#include "tests/dialog_harness.h"
#include "tests/fixture_windows.h"
#include "vantora_version.h"

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
    std::string tip;  // "control id:text" of each tool of the box's tooltip
    HWND tooltip = NULL;
};

BOOL CALLBACK ReadTips(HWND window, LPARAM seen)
{
    char name[32] = "";
    GetClassNameA(window, name, sizeof(name));
    if (strcmp(name, TOOLTIPS_CLASSA) != 0)
        return TRUE;
    ((Seen*)seen)->tooltip = window;
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

// The https handler of the test prefix, put back however the test ends.
struct HttpsHandler {
    HKEY key = NULL;
    std::string previous;  // empty: there was none
    explicit HttpsHandler(const std::string& command)
    {
        char value[1024] = "";
        DWORD size = sizeof(value);
        RegCreateKeyExA(HKEY_CLASSES_ROOT, "https\\shell\\open\\command", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL);
        if (RegQueryValueExA(key, NULL, NULL, NULL, (BYTE*)value, &size) == ERROR_SUCCESS)
            previous = value;
        RegSetValueExA(key, NULL, 0, REG_SZ, (const BYTE*)command.c_str(), (DWORD)command.size() + 1);
    }
    ~HttpsHandler()
    {
        if (previous.empty())
            RegDeleteValueA(key, NULL);
        else
            RegSetValueExA(key, NULL, 0, REG_SZ, (const BYTE*)previous.c_str(), (DWORD)previous.size() + 1);
        RegCloseKey(key);
    }
};

class AboutBoxTest : public ::testing::Test {
protected:
    static void TearDownTestSuite() { CloseSharedMainDialog(); }
    void SetUp() override
    {
        main = UseSharedMainDialog();
        ASSERT_NE(nullptr, main.dialog);
    }
    void TearDown() override { StopWatchingForDialogs(); }
    // Opens the box as command 40001 does, runs `action` on it, and returns
    // how it ended.
    INT_PTR Run(const std::function<void(HWND)>& action)
    {
        WhenDialogOpens(main.dialog, action);
        AboutBoxConfig config;
        FillProgramAboutConfig(&config);
        return RunAboutBox(main.dialog, &config);
    }
    // Opens the box, reads it and closes it with OK.
    Seen OpenAndRead()
    {
        Seen seen;
        Run([&seen](HWND box) {
            seen = ReadBox(box);
            ClickButton(box, IDOK);
        });
        return seen;
    }
    MainDialog main = {};
};

// Ends any box but the first, so that a second one fails the test instead
// of waiting in its own modal loop.
HWND firstBox;
int otherBoxes;

void CALLBACK EndOtherBoxes(HWND, UINT, UINT_PTR, DWORD)
{
    for (HWND box : VisibleDialogs([](HWND window) { return window != firstBox && GetWindow(window, GW_OWNER) != NULL; })) {
        ++otherBoxes;
        EndDialog(box, IDCANCEL);
    }
}

std::string PlantedLibrary()
{
    return TestExeDirectory() + "\\planted\\rsrc32.dll";
}

int nextDraw;
int NextDraw()
{
    return nextDraw;
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
    EXPECT_EQ(std::string("Vantora ver. ") + VANTORA_VERSION_TEXT, seen.version);
    EXPECT_EQ(SUPPORT_PAGE_URL, seen.link);
    EXPECT_EQ(std::to_string(IDC_ABOUT_LINK) + ":サポートサイトへ", seen.tip);
    EXPECT_TRUE(seen.handOverLink);
    EXPECT_FALSE(seen.handOverVersion);
    EXPECT_EQ(0, otherBoxes);
    EXPECT_TRUE(secondRequestActivatedIt);
    EXPECT_EQ(nullptr, GetOpenAboutBox());
}

TEST_F(AboutBoxTest, TheLinkTurnsRedAndShowsItsTipUnderThePointerAndTheBodyDragsTheBox)
{
    bool hot = false, tipShown = false;
    LRESULT bodyHit = 0, closeBoxHit = 0;
    Run([&](HWND box) {
        HWND link = GetDlgItem(box, IDC_ABOUT_LINK);
        Seen seen = ReadBox(box);
        SendMessageA(seen.tooltip, TTM_SETDELAYTIME, TTDT_INITIAL, 1);
        POINT at = CentreOf(link);
        SetCursorPos(at.x, at.y);
        ScreenToClient(link, &at);
        SendMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
        hot = (UINT_PTR)GetPropA(link, LLPROP_CONTROLSTATE) == LLS_HOT;
        for (int i = 0; i < 100 && !tipShown; ++i) {
            PumpMessagesFor(10);
            tipShown = IsWindowVisible(seen.tooltip) != FALSE;
        }
        RECT client, frame;
        GetClientRect(box, &client);
        POINT body = {4, client.bottom - 4};
        ClientToScreen(box, &body);
        bodyHit = SendMessageA(box, WM_NCHITTEST, 0, MAKELPARAM(body.x, body.y));
        GetWindowRect(box, &frame);
        closeBoxHit = SendMessageA(box, WM_NCHITTEST, 0,
                                   MAKELPARAM(frame.right - GetSystemMetrics(SM_CXSIZE) / 2 - 2,
                                              frame.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2));
        ClickButton(box, IDOK);
    });
    EXPECT_TRUE(hot);
    EXPECT_TRUE(tipShown);
    EXPECT_EQ(HTCAPTION, bodyHit);
    EXPECT_EQ(HTCLOSE, closeBoxHit);
}

TEST_F(AboutBoxTest, EscAndTheCloseBoxCancelOkConfirms)
{
    EXPECT_EQ(IDCANCEL, Run([](HWND box) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); }));
    EXPECT_EQ(IDCANCEL, Run([](HWND box) { PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); }));
    EXPECT_EQ(IDOK, Run([](HWND box) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); }));
}

TEST_F(AboutBoxTest, ItsFontAndIconsAreReleasedWhenItCloses)
{
    Seen seen = OpenAndRead();
    EXPECT_TRUE(seen.linkFontUnderlined);
    LOGFONTA font;
    EXPECT_EQ(0, GetObjectA(seen.linkFont, sizeof(font), &font));
    for (HICON icon : seen.icons) {
        ASSERT_NE(nullptr, icon);
        EXPECT_EQ(0, IconWidth(icon));
    }
}

TEST_F(AboutBoxTest, ResourcesLineComesOnlyFromTheSystemsOwnLibrary)
{
    {
        // Planted beside the program and in the current folder, where the
        // default search order would find it.
        char oldDirectory[MAX_PATH];
        GetCurrentDirectoryA(sizeof(oldDirectory), oldDirectory);
        PlantedFile beside(PlantedLibrary(), TestExeDirectory() + "\\rsrc32.dll");
        ASSERT_TRUE(beside.planted);
        SetCurrentDirectoryA((TestExeDirectory() + "\\planted").c_str());
        HMODULE found = LoadLibraryA("rsrc32.dll");
        EXPECT_NE(nullptr, found) << "the planted copies are where a plain load looks";
        FreeLibrary(found);
        Seen planted = OpenAndRead();
        SetCurrentDirectoryA(oldDirectory);
        EXPECT_EQ("", planted.resources);
    }
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof(system));
    PlantedFile installed(PlantedLibrary(), std::string(system) + "\\rsrc32.dll");
    ASSERT_TRUE(installed.planted);
    EXPECT_EQ("システムリソース： 42 ％使用可能", OpenAndRead().resources);
}

TEST_F(AboutBoxTest, AClickOrTheKeysOnTheLinkOpenExactlyTheAddressAndClose)
{
    HttpsHandler handler("\"" + TestExeDirectory() + "\\shell_open_recorder.exe\" \"%1\"");
    ASSERT_NE(nullptr, handler.key);
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string opened = std::string(temp) + "vantora-opened.txt";
    SetEnvironmentVariableA("VANTORA_OPENED_FILE", opened.c_str());
    // A click; or from OK, which has the first focus, Tab to the link and
    // Enter or Space there, as the box's own loop hands the keys on.
    for (UINT key : {0u, (UINT)VK_RETURN, (UINT)VK_SPACE}) {
        DeleteFileA(opened.c_str());
        bool tabbedFromOk = false;
        INT_PTR result = Run([key, &tabbedFromOk](HWND box) {
            HWND link = GetDlgItem(box, IDC_ABOUT_LINK);
            POINT at = CentreOf(link);
            SetCursorPos(at.x, at.y);
            ScreenToClient(link, &at);
            if (key == 0) {
                SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
                SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
                return;
            }
            MSG tab = {GetFocus(), WM_KEYDOWN, VK_TAB, 1}, press = {link, WM_KEYDOWN, key, 1};
            tabbedFromOk = tab.hwnd == GetDlgItem(box, IDOK) && IsDialogMessageA(box, &tab) && GetFocus() == link;
            IsDialogMessageA(box, &press);
        });
        std::string target;
        for (int i = 0; i < 200 && target.empty(); ++i) {  // ten seconds at most
            Sleep(50);
            FILE* file = fopen(opened.c_str(), "rb");
            if (file != NULL) {
                char text[1024] = "";
                target = fgets(text, sizeof(text), file) != NULL ? text : "";
                fclose(file);
            }
        }
        EXPECT_EQ(IDOK, result) << key;
        EXPECT_EQ(SUPPORT_PAGE_URL, target) << key;
        EXPECT_EQ(key != 0, tabbedFromOk) << key;
    }
    DeleteFileA(opened.c_str());
}

TEST_F(AboutBoxTest, AThousandthDrawShowsTheOtherTitle)
{
    AboutRandomSource real = SetAboutRandomSource(NextDraw);
    // (The C library's own first draws, never seeded, give the usual title: above.)
    for (int draw : {0, 1000}) {
        nextDraw = draw;
        EXPECT_EQ("-時には、翼のない天使のように-", OpenAndRead().caption) << draw;
    }
    SetAboutRandomSource(real);
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

TEST(AboutTextTest, WithoutAProductNameTheFileDescriptionNamesIt)
{
    static AboutVersionTexts texts;
    std::string path = TestExeDirectory() + "\\shell_open_recorder.exe";  // ASCII
    ASSERT_TRUE(ReadAboutVersionTexts(std::wstring(path.begin(), path.end()).c_str(), &texts));
    EXPECT_STREQ("録音ソフト について", texts.title);
    EXPECT_STREQ("録音ソフト ver. 1.2", texts.versionLine);
    std::string kept = "a";  // of "a" and 131 "あ", cut at 260 bytes: the character across the cut goes whole
    for (int i = 0; i < 129; ++i)
        kept += "あ";
    EXPECT_EQ(kept, texts.companyName);
}
