// The resources the program is built with: menus, keys, icon and version.
#include <gtest/gtest.h>

#include <windows.h>

#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/dialog_harness.h"
#include "vantora_version.h"

namespace {

// A popup's items as "id:text", separators as "-".
std::vector<std::string> Items(HMENU menu)
{
    std::vector<std::string> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR)
            items.push_back("-");
        else
            items.push_back(std::to_string(GetMenuItemID(menu, i)) + ":" + MenuText(menu, i, MF_BYPOSITION));
    }
    return items;
}

std::string VersionValue(const std::vector<char>& block, const char* name)
{
    char* value = NULL;
    UINT length = 0;
    std::string path = std::string("\\StringFileInfo\\041104b0\\") + name;
    if (!VerQueryValueA(block.data(), path.c_str(), (void**)&value, &length))
        return "<missing>";
    return value;
}

}  // namespace

TEST(ResourcesTest, MenusHoldTheirPopupsAndItemsInOrder)
{
    const std::vector<std::string> window = {"40043:使用可能(&E)", "40044:可視(&V)", "40045:最前面(&T)", "-",
                                             "40046:ｱｸﾃｨﾌﾞ(&A)", "40047:閉じる(&C)", "-", "40048:ﾌﾟﾛﾊﾟﾃｨ(&P)..."};
    std::vector<std::string> windowAndQuit = window;
    windowAndQuit.insert(windowAndQuit.end(), {"-", "2:ｱﾌﾟﾘｹｰｼｮﾝの終了(&Q)"});
    std::vector<std::string> context = window;
    context.insert(context.begin(), {"40017:タイトルの変更(&I)", "-"});
    // Menu, popup, its caption, its items.
    struct Case { const char* menu; int popup; const char* caption; std::vector<std::string> items; };
    const Case cases[] = {
        {"MAIN_MENU", 0, "ｳｨﾝﾄﾞｳ(&W)", windowAndQuit},
        {"MAIN_MENU", 1, "表示(&V)",
         {"40049:最新の情報に更新(&R)", "-", "40003:不可視ｳｨﾝﾄﾞｳ(&H)", "40004:最小化されたｳｨﾝﾄﾞｳ(&I)",
          "40007:使用不可ｳｨﾝﾄﾞｳ(&D)"}},
        {"MAIN_MENU", 2, "元に戻す(&U)", {"40010:(なし)"}},
        {"MAIN_MENU", 3, "ﾍﾙﾌﾟ(&H)", {"40001:About(&A)"}},
        {"POPUP_MENU", 0, "ｳｨﾝﾄﾞｳ(&W)", context},
    };
    for (const Case& c : cases) {
        HMENU menu = LoadMenuA(GetModuleHandleA(NULL), c.menu);
        ASSERT_NE(nullptr, menu);
        EXPECT_EQ(strcmp(c.menu, "MAIN_MENU") == 0 ? 4 : 1, GetMenuItemCount(menu));
        EXPECT_EQ(c.caption, MenuText(menu, c.popup, MF_BYPOSITION));
        EXPECT_EQ(c.items, Items(GetSubMenu(menu, c.popup))) << c.menu << " " << c.popup;
        if (c.popup == 2)
            EXPECT_TRUE(GetMenuState(menu, CMD_UNDO_NONE, MF_BYCOMMAND) & MF_GRAYED);
        DestroyMenu(menu);
    }
}

TEST(ResourcesTest, AcceleratorsAreEscF2F5AndEnter)
{
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_NE(nullptr, table);
    ACCEL entries[8];
    ASSERT_EQ(4, CopyAcceleratorTableA(table, entries, 8));
    const WORD keys[] = {VK_ESCAPE, VK_F2, VK_F5, VK_RETURN};
    const WORD commands[] = {CMD_SWALLOW_KEY, CMD_RENAME, CMD_REFRESH, CMD_SWALLOW_KEY};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(keys[i], entries[i].key);
        EXPECT_EQ(commands[i], entries[i].cmd);
        EXPECT_EQ(FVIRTKEY | FNOINVERT, entries[i].fVirt & ~0x80);
    }
}

TEST(ResourcesTest, IconHasThe16ColourImagesAndTrueColourOnesForEverySizeWindowsAsksFor)
{
    // As the group lists them (LoadImage would scale any size it is asked
    // for): width, then bits per pixel; 0 stands for 256.
    HRSRC found = FindResourceA(NULL, "IDI_ICON", RT_GROUP_ICON);
    ASSERT_NE(nullptr, found);
    const BYTE* group = (const BYTE*)LockResource(LoadResource(NULL, found));
    std::string sizes;
    for (int i = 0; i < *(const WORD*)(group + 4); ++i)
        sizes += std::to_string(group[6 + 14 * i]) + "x" + std::to_string(*(const WORD*)(group + 6 + 14 * i + 6)) + " ";
    EXPECT_EQ("32x4 16x4 20x32 24x32 40x32 48x32 64x32 0x32 ", sizes);
    for (int size : {32, 16, 48, 256}) {
        HICON icon = (HICON)LoadImageA(GetModuleHandleA(NULL), "IDI_ICON", IMAGE_ICON, size, size, 0);
        EXPECT_EQ(size, IconWidth(icon));
        DestroyIcon(icon);
    }
}

TEST(ResourcesTest, VersionIsTheBuildsOwnInOneJapaneseBlock)
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof(path));
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = NULL;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", (void**)&fixed, &length));
    const DWORD numbers[] = {VANTORA_VERSION_NUMBERS};
    EXPECT_EQ(numbers[0] << 16 | numbers[1], fixed->dwFileVersionMS);
    EXPECT_EQ(numbers[2] << 16 | numbers[3], fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
    DWORD* translation = NULL;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", (void**)&translation, &length));
    ASSERT_EQ(4u, length);
    EXPECT_EQ(0x04B00411u, translation[0]);
    EXPECT_EQ(VANTORA_VERSION_TEXT, VersionValue(block, "ProductVersion"));
    EXPECT_EQ(VANTORA_VERSION_TEXT, VersionValue(block, "FileVersion"));
    EXPECT_EQ("Vantora", VersionValue(block, "ProductName"));
    EXPECT_EQ("Vantora", VersionValue(block, "FileDescription"));
    for (const char* name : {"CompanyName", "LegalCopyright", "OriginalFilename", "Comments"})
        EXPECT_NE("<missing>", VersionValue(block, name)) << name;
}

// A control's rectangle in dialog units; no size for an icon control,
// which takes its icon's (w < 0). Position and size convert separately, as
// the dialog manager does.
void ExpectControlRect(HWND dialog, HWND control, int x, int y, int w, int h)
{
    RECT expected = {x, y, std::max(w, 0), std::max(h, 0)}, actual;
    MapDialogRect(dialog, &expected);
    GetWindowRect(control, &actual);
    MapWindowPoints(NULL, dialog, (POINT*)&actual, 2);
    EXPECT_EQ(expected.left, actual.left) << GetDlgCtrlID(control);
    EXPECT_EQ(expected.top, actual.top) << GetDlgCtrlID(control);
    if (w >= 0)
        EXPECT_EQ(expected.right, actual.right - actual.left) << GetDlgCtrlID(control);
    if (h >= 0)
        EXPECT_EQ(expected.bottom, actual.bottom - actual.top) << GetDlgCtrlID(control);
}

// The client size, then each control's rectangle: {id, x, y, w, h}, or
// {id, x, y} for an icon control.
void ExpectLayout(HWND dialog, int width, int height, const std::vector<std::vector<int>>& controls)
{
    RECT units = {0, 0, width, height};
    MapDialogRect(dialog, &units);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(units.right, client.right);
    EXPECT_EQ(units.bottom, client.bottom);
    for (const auto& c : controls)
        ExpectControlRect(dialog, GetDlgItem(dialog, c[0]), c[1], c[2], c.size() < 5 ? -1 : c[3], c.size() < 5 ? -1 : c[4]);
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

TEST(ResourcesTest, MainDialogTemplateIs261By169DialogUnits)
{
    MainDialog main = OpenMainDialog(NewAppState());
    ExpectLayout(main.dialog, 261, 169, {{IDC_WINDOW_LIST, 7, 7, 247, 142}, {IDC_STATUS_LINE, 7, 154, 247, 8}});
    CloseMainDialog(&main);
}

TEST(ResourcesTest, AboutBoxTemplateIs139By56WithItsFiveControls)
{
    HWND box = CreateDialogParamA(GetModuleHandleA(NULL), "ABOUT_BOX", NULL, PlainDialogProc, 0);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("Vantora について", WindowText(box));
    ExpectLayout(box, 139, 56,
                 {{IDC_ABOUT_ICON, 7, 7}, {IDC_ABOUT_VERSION, 30, 7, 102, 8}, {IDC_ABOUT_LINK, 30, 16, 102, 8},
                  {IDC_ABOUT_RESOURCES, 30, 25, 102, 8}, {IDOK, 45, 35, 45, 14}});
    EXPECT_NE(nullptr, (HICON)SendDlgItemMessageA(box, IDC_ABOUT_ICON, STM_GETICON, 0, 0));
    for (int id : {IDC_ABOUT_VERSION, IDC_ABOUT_LINK, IDC_ABOUT_RESOURCES})
        EXPECT_EQ(SS_NOPREFIX | SS_NOTIFY | (id == IDC_ABOUT_LINK ? WS_TABSTOP : 0),
                  GetWindowLongA(GetDlgItem(box, id), GWL_STYLE) & (0xFFFF | WS_TABSTOP)) << id;
    DestroyWindow(box);
}

TEST(ResourcesTest, PropertiesTemplateIs199By139WithEveryControlsTextPlaceAndStyle)
{
    HWND box = CreateDialogParamA(GetModuleHandleA(NULL), "WINDOWINFO_BOX", NULL, PlainDialogProc, 0);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("ﾌﾟﾛﾊﾟﾃｨ", WindowText(box));
    const DWORD FIELD = WS_BORDER | WS_TABSTOP, READ_ONLY = ES_READONLY | WS_TABSTOP, RADIO = BS_AUTORADIOBUTTON;
    // In template order: id, text, then the rectangle in dialog units and
    // the style bits that decide what the user can do with the control.
    struct Control { int id; const char* text; int x, y, w, h; DWORD style; };
    const Control controls[] = {
        {-1, "ｳｨﾝﾄﾞｳ ﾀｲﾄﾙ", 7, 9, 40, 8, WS_GROUP},
        {IDC_PROP_TITLE, "", 55, 7, 137, 14, FIELD | ES_AUTOHSCROLL},
        {-1, "ｸﾗｽ名", 7, 27, 20, 8, WS_GROUP},
        {IDC_PROP_CLASS, "", 55, 25, 137, 14, WS_BORDER | READ_ONLY},
        {-1, "ｳｨﾝﾄﾞｳ ｽﾀｲﾙ:", 7, 45, 42, 8, WS_GROUP},
        {IDC_PROP_STYLE, "", 55, 45, 40, 12, READ_ONLY},
        {-1, "拡張ｽﾀｲﾙ:", 101, 45, 32, 8, WS_GROUP},
        {IDC_PROP_EXSTYLE, "", 139, 45, 40, 12, READ_ONLY},
        {-1, "ｳｨﾝﾄﾞｳ状態", 7, 61, 36, 8, WS_GROUP},
        {IDC_PROP_MAXIMIZED, "最大化", 55, 61, 37, 10, RADIO | WS_GROUP},  // the Tab stop: on the checked one
        {IDC_PROP_NORMAL, "標準", 92, 61, 30, 10, RADIO},
        {IDC_PROP_MINIMIZED, "最小化", 122, 61, 37, 10, RADIO},
        {-1, "ｳｨﾝﾄﾞｳ位置", 7, 79, 36, 8, WS_GROUP},
        {-1, "Ｘ", 57, 79, 8, 8, WS_GROUP},
        {IDC_PROP_LEFT, "", 66, 77, 20, 12, FIELD | ES_AUTOHSCROLL},
        {-1, "Ｙ", 97, 79, 8, 8, WS_GROUP},
        {IDC_PROP_TOP, "", 106, 77, 20, 12, FIELD | ES_AUTOHSCROLL},
        {-1, "ｳｨﾝﾄﾞｳ ｻｲｽﾞ", 7, 95, 39, 8, WS_GROUP},
        {-1, "幅", 55, 95, 8, 8, WS_GROUP},
        {IDC_PROP_WIDTH, "", 66, 93, 20, 12, FIELD | ES_AUTOHSCROLL},
        {-1, "高さ", 90, 95, 13, 8, WS_GROUP},
        {IDC_PROP_HEIGHT, "", 106, 93, 20, 12, FIELD | ES_AUTOHSCROLL},
        {IDOK, "OK", 92, 118, 50, 14, WS_TABSTOP},
        {IDCANCEL, "ｷｬﾝｾﾙ", 142, 118, 50, 14, WS_TABSTOP},
    };
    HWND control = GetWindow(box, GW_CHILD);
    for (const Control& c : controls) {
        ASSERT_NE(nullptr, control) << c.text;
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.id, (short)GetDlgCtrlID(control));
        EXPECT_EQ(c.text, WindowText(control));
        DWORD style = (DWORD)GetWindowLongA(control, GWL_STYLE);
        if (GetWindowLongA(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)
            style |= WS_BORDER;  // where an edit control draws its border
        DWORD decisive = WS_GROUP | WS_TABSTOP | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL;
        if ((c.style & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
            decisive = WS_GROUP | WS_TABSTOP | BS_TYPEMASK;
        if (c.id == IDOK || c.id == IDCANCEL)
            decisive = WS_TABSTOP;
        EXPECT_EQ(c.style, style & decisive) << std::hex << style;
        ExpectControlRect(box, control, c.x, c.y, c.w, c.h);
        control = GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_EQ(nullptr, control);  // no other control
    ExpectLayout(box, 199, 139, {});
    EXPECT_EQ((DWORD)DS_MODALFRAME, GetWindowLongA(box, GWL_STYLE) & DS_MODALFRAME);
    DestroyWindow(box);
}

TEST(ResourcesTest, HandCursorIs32PixelsWithItsHotSpotAtTheFingertip)
{
    HCURSOR hand = LoadCursorA(GetModuleHandleA(NULL), "IDC_CURSOR_HAND");
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(hand, &info));
    EXPECT_EQ(7u, info.xHotspot);
    EXPECT_EQ(0u, info.yHotspot);
    BITMAP mask = {};
    GetObjectA(info.hbmMask, sizeof(mask), &mask);
    EXPECT_EQ(32, mask.bmWidth);
    EXPECT_EQ(64, mask.bmHeight);  // two colours: the image and its mask in one bitmap
    EXPECT_EQ(nullptr, info.hbmColor);
    DeleteObject(info.hbmMask);
}
