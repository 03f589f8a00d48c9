// Feeds arbitrary bytes to the Shift-JIS helpers and checks what must always
// hold: copies fit, are prefixes of their source, never end in half a
// character, and walking or lower-casing never leaves the text.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "app/sjis_text.h"

static void Check(bool condition)
{
    if (!condition)
        abort();
}

// The copy is its source, or a prefix of it that ends on a character
// boundary (a malformed source may end in a lone lead byte; a cut never does).
static void CheckWholeCharacters(const char* copy, const char* source)
{
    size_t length = strlen(copy);
    Check(strncmp(copy, source, length) == 0);
    if (length > 0 && length < strlen(source))
        Check(SjisByteKind(source, length - 1) != SJIS_LEAD);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    size_t bufferSize = data[0];  // 0 to 255, so the cut falls inside the text too
    std::string text((const char*)data + 1, size - 1);
    const char* source = text.c_str();  // stops at the first NUL, as C text does

    char* copy = (char*)malloc(bufferSize + 1);
    copy[bufferSize] = '\x7f';  // a guard just past the buffer
    SjisCopyTruncated(copy, source, bufferSize);
    Check(copy[bufferSize] == '\x7f');
    if (bufferSize > 0) {
        Check(strlen(copy) < bufferSize);
        CheckWholeCharacters(copy, source);
        // As long as it may be: the whole source if it fits, else the
        // longest prefix that fits and does not end in a lead byte.
        size_t longest = strlen(source) < bufferSize ? strlen(source) : bufferSize - 1;
        while (longest < strlen(source) && longest > 0 && SjisByteKind(source, longest - 1) == SJIS_LEAD)
            --longest;
        Check(strlen(copy) == longest);
    }

    // Joined from two parts split between characters (as callers' texts
    // always are), the result is the copy of the whole.
    const char* middle = source;
    while (*middle != '\0' && (size_t)(middle - source) < strlen(source) / 2)
        middle = SjisNext(middle);
    size_t half = (size_t)(middle - source);
    std::string first(source, half);
    const char* parts[] = {first.c_str(), source + half};
    char* joined = (char*)malloc(bufferSize + 1);
    joined[bufferSize] = '\x7f';
    SjisJoinTruncated(joined, bufferSize, parts, 2);
    Check(joined[bufferSize] == '\x7f');
    if (bufferSize > 0) {
        Check(strlen(joined) < bufferSize);
        Check(strcmp(joined, copy) == 0);
    }
    free(joined);
    free(copy);

    // Walking by characters ends exactly on the terminating NUL.
    const char* p = source;
    size_t steps = 0;
    while (*p != '\0') {
        const char* next = SjisNext(p);
        Check(next > p && next <= source + strlen(source));
        p = next;
        Check(++steps <= strlen(source));
    }

    // Lower-casing changes only single-byte A-Z, and keeps the length.
    std::string lowered = text.c_str();
    SjisLowerInPlace(&lowered[0]);
    Check(lowered.size() == strlen(source));
    for (size_t i = 0; i < lowered.size(); ++i) {
        char before = source[i];
        bool single = SjisByteKind(source, i) == SJIS_SINGLE;
        char expected = single && before >= 'A' && before <= 'Z' ? (char)(before - 'A' + 'a') : before;
        Check(lowered[i] == expected);
    }

    // The extension's dot lies in the last path component, and cutting there
    // leaves the part before it.
    std::string path = text.c_str();
    char* dot = FindExtensionDot(&path[0]);
    Check(dot >= path.c_str() && dot <= path.c_str() + path.size());
    Check(*dot == '\0' || *dot == '.');
    for (size_t i = (size_t)(dot - path.c_str()); i < path.size(); ++i)
        Check(!IsPathSeparatorAt(path.c_str(), i));
    return 0;
}
