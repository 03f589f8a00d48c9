#include "app/sjis_text.h"

#include <string.h>

#ifdef _WIN32
#include <windows.h>
#endif

static const unsigned SHIFT_JIS = 932;
static unsigned textCodePage;  // 0 until first asked

void SetTextCodePage(unsigned codePage)
{
    textCodePage = codePage;
}

unsigned GetTextCodePage()
{
#ifdef _WIN32
    if (textCodePage == 0)
        textCodePage = GetACP();
#else
    if (textCodePage == 0)
        textCodePage = SHIFT_JIS;
#endif
    return textCodePage;
}

bool IsSjisLeadByte(unsigned char c)
{
    unsigned codePage = GetTextCodePage();
#ifdef _WIN32
    if (codePage != SHIFT_JIS)
        return IsDBCSLeadByteEx(codePage, c) != FALSE;
#endif
    (void)codePage;
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool IsSjisTrailByte(unsigned char c)
{
    if (GetTextCodePage() != SHIFT_JIS)
        return c != 0;
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

int SjisByteKind(const char* text, size_t index)
{
    int kind = SJIS_SINGLE;
    for (size_t i = 0;; ++i) {
        unsigned char c = (unsigned char)text[i];
        if (kind == SJIS_LEAD)
            kind = IsSjisTrailByte(c) ? SJIS_TRAIL : SJIS_SINGLE;
        else
            kind = IsSjisLeadByte(c) ? SJIS_LEAD : SJIS_SINGLE;
        if (i == index)
            return kind;
        if (c == '\0')
            return SJIS_SINGLE;
    }
}

bool IsPathSeparatorAt(const char* text, size_t index)
{
    return text[index] == '\\' && SjisByteKind(text, index) == SJIS_SINGLE;
}

const char* SjisNext(const char* p)
{
    if (*p == '\0')
        return p;
    if (IsSjisLeadByte((unsigned char)p[0]) && p[1] != '\0')
        return p + 2;
    return p + 1;
}

char* SjisNext(char* p)
{
    return const_cast<char*>(SjisNext(static_cast<const char*>(p)));
}

void SjisLowerInPlace(char* text)
{
    for (char* p = text; *p != '\0'; p = SjisNext(p)) {
        if (*p >= 'A' && *p <= 'Z')
            *p = (char)(*p - 'A' + 'a');
    }
}

char* FindExtensionDot(char* path)
{
    size_t length = strlen(path);
    for (size_t i = length; i-- > 0;) {
        if (IsPathSeparatorAt(path, i))
            break;
        if (path[i] == '.')
            return path + i;
    }
    return path + length;
}

char* CutExtension(char* path)
{
    char* dot = FindExtensionDot(path);
    if (*dot == '\0')
        return dot;
    *dot = '\0';
    return dot + 1;
}

char* SjisCopyTruncated(char* destination, const char* source, size_t size)
{
    if (size == 0)
        return destination;
    size_t count = SjisByteKind(source, size - 1) == SJIS_TRAIL ? size - 2 : size - 1;
    // A lead byte whose (malformed) partner is cut off goes too: text must
    // never end in a lead byte, or the next character walk steps over the NUL.
    if (count > 0 && strnlen(source, count + 1) > count && SjisByteKind(source, count - 1) == SJIS_LEAD)
        --count;
    strncpy(destination, source, count);
    destination[count] = '\0';
    return destination;
}

char* SjisJoinTruncated(char* destination, size_t size, const char* const* parts, size_t count)
{
    if (size == 0)
        return destination;
    size_t used = 0;
    destination[0] = '\0';
    for (size_t i = 0; i < count; ++i) {
        SjisCopyTruncated(destination + used, parts[i], size - used);
        size_t copied = strlen(destination + used);
        used += copied;
        if (parts[i][copied] != '\0')
            break;
    }
    return destination;
}
