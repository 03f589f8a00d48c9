// Settings values come from a file anyone can edit: any bytes must give
// either "no integer" or the right zero / non-zero answer.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

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

    // What "%d" of sscanf makes of it; its value only where the number fits
    // an int (beyond that sscanf's value is undefined).
    int number = 0;
    Check(parsed == (sscanf(value, "%d", &number) == 1));
    const char* digits = value + strspn(value, " \t\n\v\f\r+-");
    digits += strspn(digits, "0");
    if (parsed && strspn(digits, "0123456789") <= 9)
        Check(flag == (number != 0));
    return 0;
}
