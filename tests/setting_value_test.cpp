#include <gtest/gtest.h>

#include "app/setting_value.h"

TEST(SettingValueTest, IntegersAtTheStartDecide)
{
    struct Case { const char* text; bool parsed; bool flag; };
    const Case cases[] = {
        {"1", true, true},          {"0", true, false},         {"2", true, true},
        {"-1", true, true},         {" 0", true, false},        {"\t 7", true, true},
        {"1abc", true, true},       {"0x1", true, false},       {"+0", true, false},
        {"-0", true, false},        {"99999999999", true, true}, {"000000000000000000001", true, true},
        {"00000000000000000000", true, false}, {"10", true, true},        {"-20", true, true},
        {"abc", false, false},      {"", false, false},         {"-", false, false},
        {" + 1", false, false},     {"x1", false, false},
    };
    for (const Case& c : cases) {
        bool flag = !c.flag;
        EXPECT_EQ(c.parsed, ParseSettingFlag(c.text, &flag)) << '"' << c.text << '"';
        if (c.parsed)
            EXPECT_EQ(c.flag, flag) << '"' << c.text << '"';
    }
}
