#include "app/setting_value.h"

static bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool ParseSettingFlag(const char* text, bool* flag)
{
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    if (*p == '+' || *p == '-')
        ++p;
    if (*p < '0' || *p > '9')
        return false;
    bool nonZero = false;
    for (; *p >= '0' && *p <= '9'; ++p)
        nonZero = nonZero || *p != '0';
    *flag = nonZero;
    return true;
}
