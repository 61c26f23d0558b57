// The quick search finds every occurrence of what was typed, only whole characters, and
// names by their pinyin.
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
        {"Li", "li", 1},      // ASCII letters without regard to case
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
        {"\xB0\x41", "\xB0\x61", 0}, // nor is a trail byte ever a letter to fold
        {"138", "+86 138-0000", 1},
    };
    for (const MatchCase &c : cases)
        EXPECT_EQ(c.expected, matchesQuery(c.query, c.text)) << c.query << " in " << c.text;
}

TEST(SpellsInPinyin, InitialsSyllablesAndEveryReading)
{
    const MatchCase cases[] = {
        {"zs", "张三", 1},       {"zhangsan", "张三", 1}, {"zhangs", "张三", 1},
        {"zsan", "张三", 1},     {"zhs", "张三", 1},      {"sa", "张三", 1},
        {"ZS", "张三", 1},       {"z s", "张三", 1},      {"zh'san", "张三", 1},
        {"yxw", "欧阳修文", 1},  {"ouyang", "欧阳修文", 1},
        {"lv", "吕", 1},         {"lu", "吕", 1},         {"nv", "女", 1},
        {"dan", "单", 1},        {"shan", "单", 1},       {"zeng", "曾", 1},
        {"ceng", "曾", 1},       {"jie", "解", 1},        {"xie", "解", 1},
        {"chang", "长", 1},      {"zhang", "长", 1},
        {"kao", "丂", 1},        {"ku", "狜", 1},         {"xin", "鑫", 1}, // GBK's extension
        {"li", "Li Lei", 1},     {"al", "王Al", 1},
        {"sz", "张三", 0},       // out of order
        {"zsl", "张三", 0},      // past the last character
        {"an", "张三", 0},       // not the start of a reading
        {"zhangsanli", "张三", 0},
        {"zx", "张a三", 0},      // another letter stands between
        {"z3", "张三", 0},       // not letters
        {"", "张三", 0},
        {"x", "Li Lei", 0},
    };
    for (const MatchCase &c : cases)
        EXPECT_EQ(c.expected, spellsInPinyin(c.query, c.text)) << c.query << " in " << c.text;
}

TEST(ContactMatchesQuery, SearchesNameNumberRemarkAndPinyin)
{
    Contact contact = {};
    copyText(contact.name, sizeof contact.name, "张三");
    copyText(contact.number, sizeof contact.number, "555");
    copyText(contact.remark, sizeof contact.remark, "Gym");
    const MatchCase cases[] = {
        {"三", "", 1}, {"55", "", 1}, {"gym", "", 1}, {"zs", "", 1}, {"sanli", "", 0}, {"4", "", 0},
    };
    for (const MatchCase &c : cases) {
        SearchQuery query;
        prepareQuery(&query, c.query);
        EXPECT_EQ(c.expected, contactMatchesQuery(&contact, &query)) << c.query;
    }
}

TEST(PrepareQuery, CutsTo49BytesOnACharacterBoundary)
{
    SearchQuery query;
    prepareQuery(&query, std::string(60, 'q').c_str());
    EXPECT_EQ(std::string(49, 'q'), query.text);
    EXPECT_EQ(std::string(49, 'q'), query.pinyin);
    std::string chinese = "a";
    for (int i = 0; i < 30; i++)
        chinese += "张";
    prepareQuery(&query, chinese.c_str());
    EXPECT_EQ(chinese.substr(0, 49), query.text) << "a + 24 characters is 49 bytes";
    EXPECT_STREQ("", query.pinyin) << "not letters only";
    prepareQuery(&query, ("ab" + chinese.substr(1)).c_str());
    EXPECT_EQ(48u, strlen(query.text)) << "49 bytes would end in half of 张";
}
