// The quick search finds every occurrence of what was typed, only whole characters, and
// names by their pinyin (the cases people type are in tests/data/dumps.txt).
#include "store/quick_search.h"

#include "common/text.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>

struct MatchCase {
    const char *query;
    const char *text;
    int expected;
};

// Raw bytes only the program itself can type; what people type is in tests/data/dumps.txt.
TEST(MatchesQuery, FindsEveryOccurrenceFromACharacterStart)
{
    const MatchCase cases[] = {
        {"", "", 1},
        {"a", "", 0},
        {"aab", "aaaab", 1},         // restarting after a partial match must not skip it
        {"abc", "ab", 0},
        {"\xFD\xC0", "张三李四", 0}, // trail byte of 三 + lead byte of 李
        {"@", "\xB0\x40", 0},       // a trail byte that looks like ASCII is not a character
        {"\xB0\x40", "a\xB0\x40", 1},
        {"\xB0\x41", "\xB0\x61", 0}, // nor is a trail byte ever a letter to fold
    };
    for (const MatchCase &c : cases)
        EXPECT_EQ(c.expected, matchesQuery(c.query, c.text)) << c.query << " in " << c.text;
}

TEST(PrepareQuery, SpellsOnlyLettersInLowerCase)
{
    SearchQuery query;
    prepareQuery(&query, std::string(60, 'q').c_str());
    EXPECT_EQ(std::string(49, 'q'), query.pinyin);
    prepareQuery(&query, "a张");
    EXPECT_STREQ("", query.pinyin) << "not letters only";
    prepareQuery(&query, "Z s'an");
    EXPECT_STREQ("zsan", query.pinyin) << "spaces and apostrophes are no part of the spelling";
}

// The list narrows the rows of a query as it grows: whatever a query matches, each of its
// beginnings must match too.
TEST(ContactMatchesQuery, AGrowingQueryNeverFindsMore)
{
    const char *const names[] = {"张三", "欧阳修文", "吕布", "单曾长", "Li Lei", "王Al", "安娜", "鑫a"};
    const char *const pieces[] = {"z", "s", "h", "a", "n", "g", "l", "u", "y", "i", "A", "L", " ",
                                  "'", "1", "3", "8", "+", "-", "张", "三", "阳", "娜", "e", "x"};
    std::mt19937 random(20261207);
    for (int round = 0; round < 4000; round++) {
        Contact contact = {};
        copyText(contact.name, sizeof contact.name, names[random() % std::size(names)]);
        copyText(contact.number, sizeof contact.number, random() % 2 ? "+86 138-1" : "555");
        copyText(contact.remark, sizeof contact.remark, random() % 2 ? "Gym 张三" : "");
        std::string typed;
        for (int length = 1 + random() % 6; length > 0; length--)
            typed += pieces[random() % std::size(pieces)];
        SearchQuery whole;
        prepareQuery(&whole, typed.c_str());
        for (size_t end = 0; end < typed.size(); end += characterWidth(&typed[end])) {
            SearchQuery beginning;
            prepareQuery(&beginning, typed.substr(0, end).c_str());
            EXPECT_TRUE(!contactMatchesQuery(&contact, &whole) || contactMatchesQuery(&contact, &beginning))
                << "'" << typed << "' finds " << contact.name << ", '" << beginning.text << "' does not";
        }
    }
}
