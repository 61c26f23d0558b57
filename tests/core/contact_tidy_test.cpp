// Sorting by name and removing duplicates.
#include "store/contact_tidy.h"

#include "store/contact_list.h"
#include "tests/support/contacts.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

static void fill(const Lines &contacts)
{
    clearContacts();
    for (const std::string &line : contacts) {
        size_t bar = line.find('|'), second = line.find('|', bar + 1);
        addContact(line.substr(0, bar).c_str(), line.substr(bar + 1, second - bar - 1).c_str(),
                   line.substr(second + 1).c_str(), line.back() == '!');
    }
}

// As phone books order names: a syllable at a time, a surname by its surname reading, Latin
// names by their letters in any case and digits before them, equal names by number. Ticks go
// with their contacts ("!" ticks one), and the last contact is the list's tail.
TEST(SortContactsByName, SyllableBySyllableAndSurnamesAsSurnames)
{
    const Lines ordered = {"12||! [x]", "阿明||",  "alice||", "Bob||",   "曹操||",  "陈刚||",
                           "陈伟||",    "程刚||",  "丁一||",  "孤单||",  "Li Lei||", "李四||",
                           "万俟高||",  "单田芳||", "解放||",  "谢谢||",  "尉迟恭||", "曾国藩||",
                           "张三|1|",   "张三|2|"};
    Lines shuffled = ordered;
    std::reverse(shuffled.begin(), shuffled.end());
    std::rotate(shuffled.begin(), shuffled.begin() + 5, shuffled.end());
    shuffled[std::find(shuffled.begin(), shuffled.end(), "12||! [x]") - shuffled.begin()] = "12||!";
    fill(shuffled);
    ASSERT_TRUE(sortContactsByName());
    EXPECT_EQ(ordered, contactLines());
    addContact("Z");
    EXPECT_EQ("Z||", contactLines().back());
    clearContacts();
}

// Equal contacts keep their order: the C library's qsort need not (Windows' does not, which
// only this test's run under Wine can show; it runs in CI for that).
TEST(SortContactsByName, EqualContactsKeepTheirOrder)
{
    Lines equal;
    for (int i = 0; i < 300; i++)
        equal.push_back("王五|138|" + std::to_string(i));
    Lines mixed = equal;
    for (int i = 0; i < 300; i += 7)
        mixed.insert(mixed.begin() + i, "Bob||");
    fill(mixed);
    ASSERT_TRUE(sortContactsByName());
    Lines sorted = contactLines();
    EXPECT_EQ(equal, Lines(sorted.end() - 300, sorted.end()));
    clearContacts();
}

TEST(FindDuplicates, SameNameAndNumberAreOneContact)
{
    const Lines contacts = {"张三|138-0000|",     "张三|+86 1380000|同事", "张三|(138)0000|朋友",
                            "张三|0086 138 0000|同事", "李四|1|",            "李四|2|",
                            "李四|1|x",           "王|1|",                "王五|1|"};
    fill(contacts);
    EXPECT_EQ(3, countDuplicates());
    EXPECT_EQ(contacts.size(), contactLines().size()) << "counting removes nothing";
    EXPECT_EQ(3, removeDuplicates());
    EXPECT_EQ(Lines({"张三|138-0000|同事", "张三|(138)0000|朋友", "李四|1|x", "李四|2|", "王|1|",
                     "王五|1|"}),
              contactLines());
    EXPECT_EQ(6, contactCount);
    EXPECT_EQ(0, removeDuplicates());
    clearContacts();
}
