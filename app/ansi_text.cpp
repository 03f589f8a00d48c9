#include "app/ansi_text.h"

std::string AnsiText(const wchar_t* text)
{
    int size = WideCharToMultiByte(CP_ACP, 0, text, -1, NULL, 0, NULL, NULL);  // with the NUL
    if (size <= 0)
        return std::string();
    std::string ansi((size_t)size, '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &ansi[0], size, NULL, NULL);
    ansi.resize((size_t)size - 1);
    return ansi;
}

std::wstring WideText(const char* text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0);  // with the NUL
    if (length <= 0)
        return std::wstring();
    std::wstring wide((size_t)length, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
    wide.resize((size_t)length - 1);
    return wide;
}
