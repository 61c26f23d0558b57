// The contact list against a plain model: random appends, removals, moves and take-outs,
// with the count, the order and the tail checked after each.
#include "store/contact_list.h"

#include "tests/support/contacts.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

static std::string listOrder()
{
    std::string order;
    int reachable = 0;
    // A relink into a ring would walk forever: one record past the count is proof enough.
    for (const Contact *record = firstContact; record != nullptr && reachable <= contactCount;
         record = record->next, reachable++)
        order += record->name;
    EXPECT_EQ(reachable, contactCount) << "the count is the records reachable";
    return order;
}

static Contact *recordAt(size_t index)
{
    Contact *record = firstContact;
    while (index-- > 0)
        record = record->next;
    return record;
}

TEST(ContactList, RandomOperationsKeepTheModelsOrder)
{
    std::mt19937 random(8);
    std::string model;
    char next = 'A';
    clearContacts();
    for (int step = 0; step < 3000; step++) {
        size_t at = model.empty() ? 0 : random() % model.size();
        switch (random() % 6) {
        case 0:
        case 1: // appending after any other operation links to the real tail
            addContact(std::string(1, next).c_str());
            model += next;
            next = next == 'Z' ? 'A' : next + 1;
            break;
        case 2:
            if (!model.empty()) {
                EXPECT_EQ(1, removeContact(recordAt(at)));
                model.erase(at, 1);
            }
            break;
        case 3: // up: the first stays first
            if (!model.empty()) {
                moveContact(recordAt(at), MOVE_UP);
                if (at > 0)
                    std::swap(model[at], model[at - 1]);
            }
            break;
        case 4: // down: the last stays last
            if (!model.empty()) {
                moveContact(recordAt(at), MOVE_DOWN);
                if (at + 1 < model.size())
                    std::swap(model[at], model[at + 1]);
            }
            break;
        case 5:
            putBackContacts(takeContacts());
            break;
        }
        ASSERT_EQ(model, listOrder()) << "step " << step;
    }
    Contact stranger = {};
    EXPECT_EQ(0, removeContact(&stranger));
    clearContacts();
    EXPECT_EQ("", listOrder());
}
