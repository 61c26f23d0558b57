// Sorting by name and removing duplicates.
#include "store/contact_tidy.h"

#include "store/contact_list.h"
#include "tests/support/contacts.h"

#include <gtest/gtest.h>

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

TEST(SortContactsByName, PinyinLettersAndDigitsThenNumber)
{
    fill({"张三|2|", "Li Lei||", "李四||", "alice||", "12||!", "张三|1|", "Bob||", "阿||", "李四||b"});
    ASSERT_EQ(1, sortContactsByName());
    EXPECT_EQ(Lines({"12||! [x]", "阿||", "alice||", "Bob||", "Li Lei||", "李四||", "李四||b",
                     "张三|1|", "张三|2|"}),
              contactLines())
        << "ticks go with their contacts; equal contacts keep their order";
    addContact("Z");
    EXPECT_STREQ("Z", firstContact->next->next->next->next->next->next->next->next->next->name)
        << "the tail is the last record";
    clearContacts();
}

TEST(FindDuplicates, SameNameAndNumberAreOneContact)
{
    const Lines contacts = {"张三|138-0000|",     "张三|+86 1380000|同事", "张三|(138)0000|朋友",
                            "张三|0086 138 0000|同事", "李四|1|",            "李四|2|",
                            "李四|1|x",           "王|1|",                "王五|1|"};
    fill(contacts);
    EXPECT_EQ(3, findDuplicates(false));
    EXPECT_EQ(contacts.size(), contactLines().size()) << "counting removes nothing";
    EXPECT_EQ(3, findDuplicates(true));
    EXPECT_EQ(Lines({"张三|138-0000|同事", "张三|(138)0000|朋友", "李四|1|x", "李四|2|", "王|1|",
                     "王五|1|"}),
              contactLines());
    EXPECT_EQ(6, contactCount);
    EXPECT_EQ(0, findDuplicates(true));
    clearContacts();
}
