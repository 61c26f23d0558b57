// The quick search finds every occurrence of what was typed, and only whole characters.
#include "store/quick_search.h"

#include "common/text.h"

#include <gtest/gtest.h>

#include <string>

struct MatchCase {
    const char *query;
    const char *text;
    int expected;
};

TEST(MatchesQuery, FindsEveryOccurrenceFromACharacterStart)
{
    const MatchCase cases[] = {
        {"", "anything", 1},
        {"", "", 1},
        {"a", "", 0},
        {"li", "Ali", 1},
        {"Li", "li", 0},
        {"aab", "aaab", 1},   // restarting after a partial match must not skip it
        {"aab", "aaaab", 1},
        {"110", "1110", 1},
        {"112", "1112", 1},
        {"abac", "ababac", 1},
        {"ab", "aab", 1},
        {"abc", "ab", 0},
        {"三李", "张三李四", 1},
        {"\xFD\xC0", "张三李四", 0}, // trail byte of 三 + lead byte of 李
        {"@", "\xB0\x40", 0},       // a trail byte that looks like ASCII is not a character
        {"\xB0\x40", "a\xB0\x40", 1},
        {"138", "+86 138-0000", 1},
    };
    for (const MatchCase &c : cases)
        EXPECT_EQ(c.expected, matchesQuery(c.query, c.text)) << c.query << " in " << c.text;
}

TEST(ContactMatchesQuery, SearchesNameAndNumberButNotRemark)
{
    Contact contact = {};
    copyText(contact.name, sizeof contact.name, "Ali");
    copyText(contact.number, sizeof contact.number, "555");
    copyText(contact.remark, sizeof contact.remark, "zzz");
    EXPECT_EQ(1, contactMatchesQuery(&contact, "Al"));
    EXPECT_EQ(1, contactMatchesQuery(&contact, "55"));
    EXPECT_EQ(0, contactMatchesQuery(&contact, "zzz"));
}

TEST(PrepareQuery, CutsTo49BytesOnACharacterBoundary)
{
    char query[QUERY_SIZE];
    prepareQuery(query, std::string(60, 'q').c_str());
    EXPECT_EQ(std::string(49, 'q'), query);
    std::string chinese = "a";
    for (int i = 0; i < 30; i++)
        chinese += "张";
    prepareQuery(query, chinese.c_str());
    EXPECT_EQ(chinese.substr(0, 49), query) << "a + 24 characters is 49 bytes";
    prepareQuery(query, ("ab" + chinese.substr(1)).c_str());
    EXPECT_EQ(48u, strlen(query)) << "49 bytes would end in half of 张";
}
