// Settings values come from a file anyone can edit: any bytes must give
// either "no integer" or the right zero / non-zero answer.
#include <ctype.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>

#include "app/setting_value.h"

static void Check(bool condition)
{
    if (!condition)
        abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text((const char*)data, size);
    const char* value = text.c_str();
    bool flag = false;
    bool parsed = ParseSettingFlag(value, &flag);

    // The same answer worked out plainly.
    const char* p = value;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    if (*p == '+' || *p == '-')
        ++p;
    Check(parsed == (*p >= '0' && *p <= '9'));
    if (parsed) {
        bool nonZero = false;
        for (; *p >= '0' && *p <= '9'; ++p)
            nonZero |= *p != '0';
        Check(flag == nonZero);
    }
    return 0;
}
