// The contact list: order, count, identity of records and the shown-row mapping.
#include "store/contact_list.h"

#include "common/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

static Contact makeContact(const char *name)
{
    Contact contact = {};
    copyText(contact.name, sizeof contact.name, name);
    return contact;
}

static void fillList(const char *names)
{
    clearContacts();
    for (const char *name = names; *name != '\0'; name++) {
        char one[2] = {*name, '\0'};
        appendContact(makeContact(one));
    }
}

static Contact *findContact(const char *name)
{
    for (Contact *record = firstContact; record != nullptr; record = record->next)
        if (strcmp(record->name, name) == 0)
            return record;
    return nullptr;
}

// The names in list order; also checks that the count matches the records reachable.
static std::string listOrder()
{
    std::string order;
    int reachable = 0;
    for (Contact *record = firstContact; record != nullptr; record = record->next) {
        order += record->name;
        reachable++;
    }
    EXPECT_EQ(reachable, contactCount);
    return order;
}

class ContactListTest : public ::testing::Test {
protected:
    void TearDown() override { clearContacts(); }
};

TEST_F(ContactListTest, AppendKeepsOrderCountAndWholeRecord)
{
    Contact contact = makeContact("A");
    memset(contact.remark, 'q', sizeof contact.remark);
    contact.remark[0] = '\0';
    contact.next = &contact;
    contact.checked = 1;
    ASSERT_EQ(1, appendContact(contact));
    EXPECT_EQ(nullptr, firstContact->next);
    EXPECT_EQ(1, contactCount);
    EXPECT_EQ(0, memcmp(contact.remark, firstContact->remark, sizeof contact.remark))
        << "bytes after the NUL are carried along";
    EXPECT_EQ(1, firstContact->checked);

    appendContact(makeContact("B"));
    appendContact(makeContact("C"));
    appendContact(makeContact("D"));
    EXPECT_EQ("ABCD", listOrder());
}

TEST_F(ContactListTest, RemoveHeadMiddleTailAndStranger)
{
    struct {
        const char *removed;
        const char *left;
    } cases[] = {{"A", "BC"}, {"B", "AC"}, {"C", "AB"}};
    for (const auto &c : cases) {
        fillList("ABC");
        EXPECT_EQ(1, removeContact(findContact(c.removed)));
        EXPECT_EQ(c.left, listOrder());
    }
    fillList("ABC");
    Contact stranger = makeContact("X");
    EXPECT_EQ(0, removeContact(&stranger));
    EXPECT_EQ("ABC", listOrder());
    clearContacts();
    EXPECT_EQ(0, removeContact(&stranger));
}

TEST_F(ContactListTest, AppendAfterRemovingTheTailLinksToTheNewTail)
{
    fillList("ABC");
    removeContact(findContact("C"));
    appendContact(makeContact("D"));
    EXPECT_EQ("ABD", listOrder());
    removeContact(findContact("A"));
    removeContact(findContact("B"));
    removeContact(findContact("D"));
    appendContact(makeContact("E"));
    EXPECT_EQ("E", listOrder());
}

TEST_F(ContactListTest, MovesExchangeNeighbours)
{
    struct {
        const char *list;
        const char *moved;
        int direction;
        const char *expected;
    } cases[] = {
        {"ABC", "A", 1, "ABC"}, {"ABC", "B", 1, "BAC"}, {"ABC", "C", 1, "ACB"},
        {"ABC", "A", 0, "BAC"}, {"ABC", "B", 0, "ACB"}, {"ABC", "C", 0, "ABC"},
        {"AB", "B", 1, "BA"},   {"AB", "A", 0, "BA"},   {"ABCD", "D", 1, "ABDC"},
        {"ABCD", "C", 7, "ABDC"}, {"A", "A", 1, "A"},
    };
    for (const auto &c : cases) {
        fillList(c.list);
        Contact *moved = findContact(c.moved);
        moveContact(moved, c.direction);
        EXPECT_EQ(c.expected, listOrder()) << c.moved << " in " << c.list;
        EXPECT_EQ(moved, findContact(c.moved)) << "records stay where they are in memory";
    }
    fillList("ABC");
    moveContact(nullptr, 1);
    EXPECT_EQ("ABC", listOrder());
}

TEST_F(ContactListTest, MoveDownToTheEndThenAppendKeepsTheTail)
{
    fillList("AB");
    moveContact(findContact("A"), 0);
    appendContact(makeContact("C"));
    EXPECT_EQ("BAC", listOrder());
    moveContact(findContact("C"), 1);
    appendContact(makeContact("D"));
    EXPECT_EQ("BCAD", listOrder());
}

TEST_F(ContactListTest, MovingAndMovingBackRestoresTheList)
{
    fillList("ABCDE");
    for (const char *name : {"B", "C", "D", "E"}) {
        moveContact(findContact(name), 1);
        moveContact(findContact(name), 0);
        EXPECT_EQ("ABCDE", listOrder()) << "up and down " << name;
    }
    for (const char *name : {"A", "B", "C", "D"}) {
        moveContact(findContact(name), 0);
        moveContact(findContact(name), 1);
        EXPECT_EQ("ABCDE", listOrder()) << "down and up " << name;
    }
}

TEST_F(ContactListTest, ShownContactAtCountsOnlyShownRecords)
{
    EXPECT_EQ(nullptr, shownContactAt(0));
    fillList("ABCD");
    EXPECT_EQ(nullptr, shownContactAt(0));
    const int shown[] = {0, 1, 0, 1};
    int i = 0;
    for (Contact *record = firstContact; record != nullptr; record = record->next)
        record->shown = shown[i++];
    EXPECT_EQ(findContact("B"), shownContactAt(0));
    EXPECT_EQ(findContact("D"), shownContactAt(1));
    EXPECT_EQ(nullptr, shownContactAt(2));
    EXPECT_EQ(nullptr, shownContactAt(-1));
}

TEST_F(ContactListTest, ClearEmptiesTheList)
{
    clearContacts();
    EXPECT_EQ(nullptr, firstContact);
    EXPECT_EQ(0, contactCount);
    fillList("ABC");
    clearContacts();
    EXPECT_EQ(nullptr, firstContact);
    EXPECT_EQ(0, contactCount);
    appendContact(makeContact("Z"));
    EXPECT_EQ("Z", listOrder());
}
