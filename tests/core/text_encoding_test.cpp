// Conversions between the ANSI code page and UTF-8 (natively in the GBK locale, under Wine
// in code page 936).
#include "interchange/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

class TextEncodingTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(1, selectAnsiLocale()) << "no double-byte locale"; }
};

struct EncodingCase {
    const char *ansi;
    const char *utf8;
};

TEST_F(TextEncodingTest, AnsiAndUtf8RoundTrip)
{
    const EncodingCase cases[] = {
        {"", ""},
        {"Li Lei +86", "Li Lei +86"},
        {"张三", "\xE5\xBC\xA0\xE4\xB8\x89"},
        {"约翰·史密斯", "\xE7\xBA\xA6\xE7\xBF\xB0\xC2\xB7\xE5\x8F\xB2\xE5\xAF\x86\xE6\x96\xAF"},
        {"a张b", "a\xE5\xBC\xA0" "b"},
    };
    for (const EncodingCase &c : cases) {
        char utf8[64];
        ansiToUtf8(c.ansi, utf8, sizeof utf8);
        EXPECT_STREQ(c.utf8, utf8);
        char ansi[64];
        utf8ToAnsi(c.utf8, ansi, sizeof ansi);
        EXPECT_STREQ(c.ansi, ansi);
    }
}

TEST_F(TextEncodingTest, WhatTheCodePageCannotHoldBecomesAQuestionMark)
{
    const EncodingCase cases[] = {
        {"a?b", "a\xF0\x9F\x98\x80" "b"},      // emoji: outside the code page
        {"?", "\xC3"},                         // sequence cut short
        {"??", "\xC0\xAF"},                    // overlong form of '/'
        {"?x", "\x80x"},                       // stray continuation byte
        {"?", "\xED\xA0\x80"},                 // surrogate half
    };
    for (const EncodingCase &c : cases) {
        char ansi[64];
        utf8ToAnsi(c.utf8, ansi, sizeof ansi);
        std::string got = ansi;
        EXPECT_EQ(std::string(c.ansi), got.substr(0, strlen(c.ansi))) << c.utf8;
        EXPECT_EQ(std::string::npos, got.find('\xED')) << "invalid bytes never pass through";
    }
}

TEST_F(TextEncodingTest, OutputIsCutOnACharacterBoundary)
{
    char utf8[6];
    EXPECT_EQ(3u, ansiToUtf8("张三", utf8, sizeof utf8)); // 三 needs 3 more bytes and a NUL
    EXPECT_STREQ("\xE5\xBC\xA0", utf8);
    char ansi[4];
    EXPECT_EQ(2u, utf8ToAnsi("\xE5\xBC\xA0\xE4\xB8\x89", ansi, sizeof ansi));
    EXPECT_STREQ("张", ansi);
}
