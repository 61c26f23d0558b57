// Bounded copies and trimming: every cut lands on a character boundary and stays in bounds.
#include "common/text.h"

#include <gtest/gtest.h>

#include <string>

struct CopyCase {
    const char *source;
    size_t size;
    const char *expected;
};

TEST(CopyText, CutsToTheBufferWithoutSplittingACharacter)
{
    const CopyCase cases[] = {
        {"abc", 10, "abc"},
        {"abcdef", 4, "abc"},
        {"张三李四", 5, "张三"},  // 4 bytes fit, the 5th would be half of 李
        {"张三李四", 6, "张三"},  // 5 bytes of room: 李 needs 6
        {"张三李四", 7, "张三李"},
        {"a张", 3, "a"},
        {"a张", 4, "a张"},
        {"", 1, ""},
        {"abc", 1, ""},
        {"a\xD5", 10, "a\xD5"}, // a lead byte without its trail byte is a byte of its own
        {"a\xD5,b", 3, "a\xD5"},
    };
    for (const CopyCase &c : cases) {
        char buffer[16];
        memset(buffer, 'x', sizeof buffer);
        size_t copied = copyText(buffer, c.size, c.source);
        EXPECT_STREQ(c.expected, buffer) << c.source << " into " << c.size;
        EXPECT_EQ(strlen(c.expected), copied);
        EXPECT_EQ('x', buffer[c.size]) << "wrote past the buffer";
    }
    char buffer[16] = "  张三";
    EXPECT_EQ(0u, copyText(buffer, 0, "abc"));
    EXPECT_EQ(' ', buffer[0]) << "a buffer of no bytes is left alone";
    copyText(buffer, sizeof buffer, buffer + 2);
    EXPECT_STREQ("张三", buffer) << "a copy within one buffer";
}

TEST(FormatText, TruncatedResultEndsOnACharacterBoundary)
{
    char buffer[8];
    size_t length = formatText(buffer, sizeof buffer, "%s%s", "ab", "张三李四");
    EXPECT_STREQ("ab张三", buffer); // 7 bytes of room: 李 would need bytes 7 and 8
    EXPECT_EQ(6u, length);
}

struct TrimCase {
    const char *line;
    const char *expected;
};

TEST(CompareIgnoringCase, FoldsAsciiLettersButNeverATrailByte)
{
    EXPECT_TRUE(equalsIgnoringCase("Zhang San", "zHANG sAN"));
    EXPECT_TRUE(equalsIgnoringCase("a\xB0\x41", "A\xB0\x41"));
    EXPECT_FALSE(equalsIgnoringCase("\xB0\x41", "\xB0\x61")) << "two characters, not one";
    EXPECT_LT(compareIgnoringCase("abc", "ABD"), 0);
    EXPECT_GT(compareIgnoringCase("abc", "AB"), 0);
}

TEST(CopyField, OneLineTrimmedAndCut)
{
    const TrimCase cases[] = {
        {"  a\r\nb\rc\nd\te  ", "a b c d e"}, {"\r\n张三\r\n", "张三"}, {"一二三四五六", "一二三四五"},
        {"abcdefghij\t张", "abcdefghij"},
    };
    for (const TrimCase &c : cases) {
        char field[12]; // a name field
        copyField(field, sizeof field, c.line);
        EXPECT_STREQ(c.expected, field) << '"' << c.line << '"';
    }
}
