// Conversions between the ANSI code page and UTF-8 (natively in the GBK locale, under Wine
// in code page 936) where they are hard; every sample run converts ordinary text.
#include "interchange/text_encoding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

class TextEncodingTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_GE(MB_CUR_MAX, 2u) << "the tests' start-up chose no double-byte locale"; }
};

struct EncodingCase {
    const char *ansi;
    const char *utf8;
};

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

// Text without a mark or a declared charset is UTF-8 only on evidence GBK cannot give by
// chance: about one GBK ideograph in five is also a valid two-byte UTF-8 sequence, and GBK
// text is full of bytes UTF-8 never has. A few such bytes in UTF-8 text (a stray Latin-1
// byte, a last character cut short) are outweighed by two proving sequences for each.
TEST_F(TextEncodingTest, WhichTextIsTakenForUtf8)
{
    const struct {
        const char *text;
        Utf8Evidence evidence;
    } cases[] = {
        {"\xC3\x91\xC3\xBA\xC3\xB1" "ez", UTF8},         // Ñúñez: a run beside a letter
        {"\xE5\xBC\xA0\xE4\xB8\x89", UTF8},               // 张三
        {"\xE5\xBC\xA0\xE4\xB8\x89,caf\xE9", UTF8},       // 张三 and a Latin-1 é
        {"\xE5\xBC\xA0\xE4\xB8\x89\xE6\x9D", UTF8},      // 张三 and a cut 李
        {"Jos\xC3\xA9 M\xC3\xBCller caf\xE9", UTF8},     // two Latin letters, one stray byte
        {"\xE5\xBC\xA0\xE9", BROKEN_UTF8},               // one ideograph proves too little
        {"caf\xE9", NOT_UTF8},
        {"QQ群", MAYBE_UTF8},                           // as UTF-8 a letter of no European name
        {"石磊,13800138000", NOT_UTF8},                 // GBK with bytes UTF-8 never has
        {"张三 13800138000\r\n李四 13900139000", NOT_UTF8},
        {"郑强", MAYBE_UTF8},                          // GBK that is valid UTF-8
        {"A郑强B", MAYBE_UTF8},                        // beside letters, but no Latin letters
        {"\xC3\x89", MAYBE_UTF8},                      // one accented letter alone
        {"\xC2\xA3" "100", MAYBE_UTF8},                // £100: no letter
        {"13800138000", MAYBE_UTF8},
        {"\xF5\x80\x80\x80", NOT_UTF8},                // F5 to FF never start UTF-8
        {"\xE0\x82\xB7", MAYBE_UTF8},                  // this program's earlier three-byte form
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.evidence, utf8Evidence(c.text, strlen(c.text))) << c.text;
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
