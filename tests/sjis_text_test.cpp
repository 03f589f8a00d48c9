#include <gtest/gtest.h>

#include <windows.h>

#include <string.h>

#include <string>

#include "app/sjis_text.h"

namespace {
// "表" is 0x95 0x5C and "ソ" is 0x83 0x5C: their trail byte reads as a backslash.
const char HYOU[] = "\x95\x5c";
}  // namespace

TEST(SjisTextTest, ByteKindsFollowLeadAndTrailRules)
{
    const char text[] = "a\x95\x5c" "b\x81\x7f" "c";  // 表, then a lead before 0x7F
    EXPECT_EQ(SJIS_SINGLE, SjisByteKind(text, 0));
    EXPECT_EQ(SJIS_LEAD, SjisByteKind(text, 1));
    EXPECT_EQ(SJIS_TRAIL, SjisByteKind(text, 2));
    EXPECT_EQ(SJIS_SINGLE, SjisByteKind(text, 3));
    EXPECT_EQ(SJIS_LEAD, SjisByteKind(text, 4));
    EXPECT_EQ(SJIS_SINGLE, SjisByteKind(text, 5));  // 0x7F is never a trail byte
    EXPECT_EQ(SJIS_SINGLE, SjisByteKind(text, 6));
    EXPECT_EQ(SJIS_SINGLE, SjisByteKind(text, 100));  // past the end
    // Two lead-range bytes in a row: the second is a trail, not a new lead.
    EXPECT_EQ(SJIS_TRAIL, SjisByteKind("\x81\x81\x81", 1));
    EXPECT_EQ(SJIS_LEAD, SjisByteKind("\x81\x81\x81", 2));
}

TEST(SjisTextTest, LeadByteRangesEndWhereCodePage932Ends)
{
    for (unsigned c : {0x81u, 0x9Fu, 0xE0u, 0xEFu, 0xF0u, 0xFCu})
        EXPECT_TRUE(IsSjisLeadByte((unsigned char)c)) << std::hex << c;
    for (unsigned c : {0x00u, 0x5Cu, 0x80u, 0xA0u, 0xA1u, 0xDFu, 0xFDu, 0xFFu})
        EXPECT_FALSE(IsSjisLeadByte((unsigned char)c)) << std::hex << c;
}

TEST(SjisTextTest, BackslashInsideADoubleByteCharacterIsNoSeparator)
{
    const char path[] = "C:\\\x83\x5c\\x";  // C:\ソ\x
    EXPECT_TRUE(IsPathSeparatorAt(path, 2));
    EXPECT_FALSE(IsPathSeparatorAt(path, 4));
    EXPECT_TRUE(IsPathSeparatorAt(path, 5));
}

TEST(SjisTextTest, TheWalkStepsAsTheSystemDoesInEachAnsiCodePage)
{
    // ア (83 41) in 932; 華 (C8 41) in 936; 가 (B0 A1) in 949; 許 (B3 5C) in
    // 950; a lead byte before the NUL; bytes that lead only in some code page.
    const char* const texts[] = {"C:\\A\x83\x41" "B\\X.EXE", "C:\\\xC8\x41" "B\\Tool.EXE", "\xB0\xA1Z\xB3\x5C\\Q",
                                 "a\x83\x41\x83", "\x81\x40\xA1\xDF\xFE\x41\xFDZ", "\xA4\xFE\xB3\x7F."};
    for (unsigned codePage : {932u, 936u, 949u, 950u}) {
        SetTextCodePage(codePage);
        for (const char* text : texts) {
            std::string lowered = text, expected = text;
            for (const char* p = text; *p != '\0';) {
                const char* next = CharNextExA((WORD)codePage, p, 0);
                ASSERT_EQ(next, SjisNext(p)) << codePage << " at " << p - text << " of " << text;
                if (next == p + 2)
                    EXPECT_EQ(SJIS_TRAIL, SjisByteKind(text, (size_t)(p + 1 - text))) << codePage;
                if (next == p + 1 && *p >= 'A' && *p <= 'Z')
                    expected[(size_t)(p - text)] = (char)(*p - 'A' + 'a');  // a trail byte never
                p = next;
            }
            SjisLowerInPlace(&lowered[0]);
            EXPECT_EQ(expected, lowered) << codePage;
        }
    }
    SetTextCodePage(0);
    EXPECT_EQ(GetACP(), GetTextCodePage());
}

TEST(SjisTextTest, TheExtensionIsCutInTheLastComponentOnly)
{
    char path[64];
    snprintf(path, sizeof(path), "C:\\dir\\x.%s", HYOU);  // x.表, last byte 0x5C
    // The path, then what is left of it and the old extension.
    struct Case { const char* path; const char* kept; const char* old; };
    const Case cases[] = {{"C:\\Some.Dir\\VanTora.EXE", "C:\\Some.Dir\\VanTora", "EXE"},
                          {"C:\\Some.Dir\\vantora", "C:\\Some.Dir\\vantora", ""},
                          {path, "C:\\dir\\x", HYOU},
                          {"", "", ""}};
    for (const Case& c : cases) {
        char text[64];
        strcpy(text, c.path);
        EXPECT_STREQ(c.old, CutExtension(text)) << c.path;
        EXPECT_STREQ(c.kept, text);
    }
}

TEST(SjisTextTest, TruncatedCopyNeverSplitsACharacterAtAnySize)
{
    // Mixed single and double bytes: a b ア 表 c ソ
    const char source[] = "ab\x83\x41\x95\x5c" "c\x83\x5c";
    const size_t length = strlen(source);
    for (size_t size = 1; size <= length + 3; ++size) {
        char destination[32];
        memset(destination, 'Z', sizeof(destination));
        SjisCopyTruncated(destination, source, size);
        size_t copied = strlen(destination);
        ASSERT_LT(copied, size);
        EXPECT_EQ(0, memcmp(destination, source, copied)) << size;
        // The cut ends on a character boundary of the source.
        EXPECT_NE(SJIS_TRAIL, SjisByteKind(source, copied)) << size;
        EXPECT_GE(copied + 2, std::min(size - 1, length) + 1) << size;  // drops at most one character
    }
    char untouched[4] = "xyz";
    SjisCopyTruncated(untouched, source, 0);
    EXPECT_STREQ("xyz", untouched);
    // A lead byte whose partner is malformed and then cut off is dropped too.
    char cut[8];
    SjisCopyTruncated(cut, "*\x95\x5c\x95\xff\xff", 5);
    EXPECT_STREQ("*\x95\x5c", cut);
}
