#include <gtest/gtest.h>

#include <windows.h>

#include <map>

#include "app/shortcut_captions.h"
#include "resources/resource_ids.h"
#include "tests/dialog_harness.h"

namespace {

std::string KeyNameOf(UINT key)
{
    char name[64] = "";
    GetKeyNameTextA((LONG)(MapVirtualKeyA(key, MAPVK_VK_TO_VSC) << 16), name, sizeof(name));
    return name;
}

// Every item of a menu and its submenus: command id -> caption.
void CollectCaptions(HMENU menu, std::map<UINT, std::string>* captions)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        HMENU sub = GetSubMenu(menu, i);
        if (sub != NULL)
            CollectCaptions(sub, captions);
        else
            (*captions)[GetMenuItemID(menu, i)] = MenuText(menu, i, MF_BYPOSITION);
    }
}

}  // namespace

TEST(ShortcutCaptionsTest, OnlyTheRefreshItemGainsItsKeyName)
{
    MainDialog main = OpenMainDialog(NewAppState());
    HMENU menu = GetMenu(main.dialog);
    std::map<UINT, std::string> before, after;
    CollectCaptions(menu, &before);
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_NE(nullptr, table);
    EXPECT_TRUE(AddShortcutCaptions(menu, table));
    CollectCaptions(menu, &after);
    ASSERT_FALSE(KeyNameOf(VK_F5).empty());
    EXPECT_EQ("最新の情報に更新(&R)\t" + KeyNameOf(VK_F5), after[CMD_REFRESH]);
    for (auto& item : before) {
        if (item.first != CMD_REFRESH)
            EXPECT_EQ(item.second, after[item.first]) << item.first;
    }
    // The context menu is loaded afresh and never carries shortcut texts.
    HMENU context = LoadMenuA(GetModuleHandleA(NULL), "POPUP_MENU");
    EXPECT_EQ("タイトルの変更(&I)", MenuText(context, CMD_RENAME));
    DestroyMenu(context);
    CloseMainDialog(&main);
}

TEST(ShortcutCaptionsTest, TwoAcceleratorsOfOneItemGiveTwoTexts)
{
    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_STRING, 7, "Item");
    ACCEL entries[] = {{FVIRTKEY, VK_F5, 7}, {FVIRTKEY | FCONTROL, 'R', 7}, {FVIRTKEY, VK_F6, 99}};
    HACCEL table = CreateAcceleratorTableA(entries, 3);
    AddShortcutCaptions(menu, table);
    EXPECT_EQ("Item\t" + KeyNameOf(VK_F5) + "\tCtrl + " + KeyNameOf('R'), MenuText(menu, 7));
    DestroyAcceleratorTable(table);
    DestroyMenu(menu);
}

TEST(ShortcutCaptionsTest, ModifiersComeAsCtrlShiftAltAndLongTextsAreCutAndTerminated)
{
    // The entry, the buffer size, then the text wanted.
    struct Case { ACCEL entry; size_t size; std::string text; };
    const Case cases[] = {
        {{FVIRTKEY | FSHIFT | FCONTROL, 'A', 1}, SHORTCUT_TEXT_SIZE, "Ctrl + Shift + " + KeyNameOf('A')},
        {{FALT, VK_F2, 1}, SHORTCUT_TEXT_SIZE, "Alt + " + KeyNameOf(VK_F2)},
        {{FVIRTKEY | FSHIFT | FCONTROL | FALT, VK_SCROLL, 1}, SHORTCUT_TEXT_SIZE,
         ("Ctrl + Shift + Alt + " + KeyNameOf(VK_SCROLL)).substr(0, 33)},
        {{FVIRTKEY | FSHIFT | FCONTROL | FALT, VK_SCROLL, 1}, 12, "Ctrl + Shif"},
        {{FVIRTKEY | FCONTROL, VK_LBUTTON, 1}, SHORTCUT_TEXT_SIZE, "Ctrl + "},  // a key without a scan code
    };
    for (const Case& c : cases) {
        char text[SHORTCUT_TEXT_SIZE];
        memset(text, 'x', sizeof(text));
        FormatShortcut(&c.entry, text, (int)c.size);
        EXPECT_EQ(c.text, std::string(text)) << c.entry.key;
    }
    char name[SHORTCUT_TEXT_SIZE];
    memset(name, 'x', sizeof(name));
    EXPECT_EQ(0, GetKeyName(name, sizeof(name), VK_LBUTTON, FALSE));
    EXPECT_STREQ("", name);
}
