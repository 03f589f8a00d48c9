#include <gtest/gtest.h>

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <string>

#include "app/ansi_text.h"
#include "app/app_state.h"
#include "app/settings.h"

namespace {

const char* const KEYS[] = {"不可視ウィンドウを列挙する", "最小化されたウィンドウを列挙する",
                            "使用不可能なウィンドウを列挙する", "ウィンドウを最前面に表示"};
const BYTE DEFAULTS[] = {1, 1, 1, 0};

BYTE FieldOf(const AppState* state, int key)
{
    const BYTE values[] = {state->showInvisible, state->showMinimized, state->showDisabled, state->alwaysOnTop};
    return values[key];
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t buffer[SETTINGS_PATH_SIZE];
        ASSERT_TRUE(GetModulePathWithExtW(buffer, SETTINGS_PATH_SIZE, L".ini"));
        path = AnsiText(buffer);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        state = (AppState*)calloc(1, sizeof(AppState));
    }
    void TearDown() override
    {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        free(state);
    }
    void WriteValue(int key, const char* value)
    {
        WritePrivateProfileStringA(SETTINGS_SECTION, KEYS[key], value, path.c_str());
    }
    std::string path;
    AppState* state = nullptr;
};

TEST_F(SettingsTest, ValuesAreReadAsTheirLeadingInteger)
{
    struct Case { const char* value; int expected; };  // null: no file; -1: the key's default
    const Case cases[] = {{nullptr, -1}, {"2", 1},  {"-1", 1},  {" 0", 0}, {"1abc", 1},         {"abc", -1},
                          {"10", 1},     {"", -1},  {"0x1", 0}, {"0", 0},  {"99999999999", 1}, {"  +1", 1}, {"-20", 1}};
    for (const Case& c : cases) {
        for (int key = 0; key < 4; ++key)
            WriteValue(key, c.value);
        if (c.value == nullptr)
            DeleteFileA(path.c_str());
        state->sortColumn = 5;
        state->sortAscending = 0;
        LoadSettings(state);
        EXPECT_TRUE(state->sortColumn == 0 && state->sortAscending == 1);  // every start: by title, ascending
        for (int key = 0; key < 4; ++key) {
            int expected = c.expected < 0 ? DEFAULTS[key] : c.expected;
            EXPECT_EQ(expected, FieldOf(state, key)) << KEYS[key] << " = \"" << c.value << '"';
        }
        // The next write leaves only 0 or 1 in the file.
        SaveSettings(state);
        for (int key = 0; key < 4; ++key) {
            char value[16] = "";
            GetPrivateProfileStringA(SETTINGS_SECTION, KEYS[key], "", value, sizeof(value), path.c_str());
            EXPECT_STREQ(FieldOf(state, key) ? "1" : "0", value);
        }
    }
}

TEST_F(SettingsTest, SaveWritesTheFourKeysInOrderUnderOneSection)
{
    state->showInvisible = 0;
    state->showMinimized = 1;
    state->showDisabled = 0;
    state->alwaysOnTop = 1;
    SaveSettings(state);
    std::string text = ReadFile(path);
    std::string expected = std::string("[Vantora]\r\n") + KEYS[0] + "=0\r\n" + KEYS[1] + "=1\r\n" + KEYS[2] + "=0\r\n" +
                           KEYS[3] + "=1\r\n";
    EXPECT_EQ(expected, text);

    AppState* loaded = (AppState*)calloc(1, sizeof(AppState));
    LoadSettings(loaded);
    for (int key = 0; key < 4; ++key)
        EXPECT_EQ(FieldOf(state, key), FieldOf(loaded, key));
    // Another copy sets one key meanwhile, and a hand leaves a 2 in another:
    // the next save keeps the first (unchanged here) and writes the second
    // as this copy holds it.
    WriteValue(1, "0");
    WriteValue(2, "2");
    SaveSettings(loaded);
    EXPECT_EQ(std::string("[Vantora]\r\n") + KEYS[0] + "=0\r\n" + KEYS[1] + "=0\r\n" + KEYS[2] + "=0\r\n" + KEYS[3] +
                  "=1\r\n",
              ReadFile(path));
    // The user turns a filter on, always-on-top on and off; another copy writes
    // the opposites, then a program holds the file open without sharing, so
    // the save fails: the user's last choices are made at the next save.
    for (bool held : {false, true}) {
        ChangeSetting(loaded, &AppState::showDisabled, 1);
        ChangeSetting(loaded, &AppState::alwaysOnTop, 1);
        ChangeSetting(loaded, &AppState::alwaysOnTop, 0);
        WriteValue(2, "0");
        WriteValue(3, "1");
        HANDLE holder = held ? CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL) : NULL;
        SaveSettings(loaded);
        CloseHandle(holder);
        EXPECT_EQ(held ? 1 : 0, ReadSettingFlag(WideText(path.c_str()).c_str(), SETTINGS_SECTION, KEYS[3], 9));
        SaveSettings(loaded);
        EXPECT_EQ(std::string("[Vantora]\r\n") + KEYS[0] + "=0\r\n" + KEYS[1] + "=0\r\n" + KEYS[2] + "=1\r\n" + KEYS[3] +
                      "=0\r\n",
                  ReadFile(path)) << held;
    }
    free(loaded);
}

TEST(ModulePathTest, ExtensionIsReplacedOrNotAddedAndPathMustFit)
{
    char buffer[SETTINGS_PATH_SIZE];
    ASSERT_TRUE(GetModulePathWithExt(buffer, sizeof(buffer), NULL));
    char module[MAX_PATH];
    GetModuleFileNameA(NULL, module, sizeof(module));
    EXPECT_EQ(strlen(module), strlen(buffer));
    EXPECT_EQ(0, _stricmp(module, buffer));
    // Too small a buffer for the path: no path rather than a cut one.
    char small[8];
    EXPECT_FALSE(GetModulePathWithExt(small, sizeof(small), ".ini"));
    // Room for the path but not for the new extension.
    std::vector<char> tight(strlen(module) + 2);
    EXPECT_FALSE(GetModulePathWithExt(tight.data(), (int)tight.size(), ".longer"));
    wchar_t wideSmall[8];
    EXPECT_FALSE(GetModulePathWithExtW(wideSmall, 8, NULL));
    std::vector<wchar_t> wideTight(strlen(module) + 2);
    EXPECT_FALSE(GetModulePathWithExtW(wideTight.data(), (int)wideTight.size(), L".longer"));
}

TEST_F(SettingsTest, JunkFilesAreReadAsFarAsTheyMakeSenseAndTheNextSaveReadsBack)
{
    std::string junk;
    for (int i = 0; i < 4096; ++i)
        junk += (char)((i * 131 + 7) & 0xFF);  // every byte value, NULs included
    struct Case { std::string contents; BYTE expected[4]; };
    const Case cases[] = {
        {junk, {1, 1, 1, 0}},
        {std::string(1 << 20, 'x'), {1, 1, 1, 0}},  // a 1 MB line and no newline
        // A 1 MB value is read as far as it fits: zero, not the default.
        {std::string("[Vantora]\r\n") + KEYS[0] + "=0" + std::string(1 << 20, '0') + "\r\n", {0, 1, 1, 0}},
        {std::string("[Van\x81\x7Ftora]\r\n") + KEYS[1] + "=\x81\r\n[\x82]\r\n" + KEYS[2] + "=\xFC\xFC" "0\r\n",
         {1, 1, 1, 0}},
    };
    for (const Case& c : cases) {
        std::ofstream(path, std::ios::binary) << c.contents;
        LoadSettings(state);
        for (int key = 0; key < 4; ++key)
            EXPECT_EQ(c.expected[key], FieldOf(state, key)) << KEYS[key] << " after " << c.contents.size() << " bytes";
        state->alwaysOnTop = 1;
        SaveSettings(state);
        AppState* loaded = (AppState*)calloc(1, sizeof(AppState));
        LoadSettings(loaded);
        EXPECT_EQ(1, loaded->alwaysOnTop) << c.contents.size() << " bytes";
        free(loaded);
    }
}

TEST_F(SettingsTest, AFolderWhereTheFileShouldBeGivesTheDefaults)
{
    // Nothing can be read or written there; nothing fails either.
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), NULL));
    state->showInvisible = 0;
    SaveSettings(state);
    LoadSettings(state);
    EXPECT_EQ(1, state->showInvisible);
    RemoveDirectoryA(path.c_str());
}
