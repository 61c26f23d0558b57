// The list keeps a tail pointer besides the head so that reading a large file appends in
// constant time; everything else walks from the head. Records are plain blocks from malloc,
// which keeps the C++ runtime's exception machinery out of the program.
#include "store/contact_list.h"

#include <cstdlib>

Contact *firstContact;
int32_t contactCount;
static Contact *lastContact;

bool appendContact(Contact contact)
{
    Contact *record = (Contact *)malloc(sizeof(Contact));
    if (record == nullptr)
        return false;
    *record = contact;
    record->next = nullptr;
    if (lastContact == nullptr)
        firstContact = record;
    else
        lastContact->next = record;
    lastContact = record;
    contactCount++;
    return true;
}

bool removeContact(Contact *contact)
{
    Contact *previous = nullptr;
    Contact *record = firstContact;
    while (record != nullptr && record != contact) {
        previous = record;
        record = record->next;
    }
    if (record == nullptr)
        return false;
    if (previous == nullptr)
        firstContact = record->next;
    else
        previous->next = record->next;
    if (lastContact == record)
        lastContact = previous;
    free(record);
    contactCount--;
    return true;
}

// Swaps a record with its successor; before is the record's predecessor or null at the head.
static void swapWithNext(Contact *before, Contact *record)
{
    Contact *after = record->next;
    if (after == nullptr)
        return;
    record->next = after->next;
    after->next = record;
    if (before == nullptr)
        firstContact = after;
    else
        before->next = after;
    if (lastContact == after)
        lastContact = record;
}

void moveContact(Contact *contact, MoveDirection direction)
{
    if (contact == nullptr)
        return;
    Contact *beforePrevious = nullptr;
    Contact *previous = nullptr;
    Contact *record = firstContact;
    while (record != nullptr && record != contact) {
        beforePrevious = previous;
        previous = record;
        record = record->next;
    }
    if (record == nullptr)
        return;
    if (direction == MOVE_UP) {
        if (previous != nullptr)
            swapWithNext(beforePrevious, previous);
    } else {
        swapWithNext(previous, record);
    }
}

void clearContacts()
{
    freeContacts(takeContacts());
}

ContactChain takeContacts()
{
    ContactChain chain = {firstContact, lastContact, contactCount};
    firstContact = nullptr;
    lastContact = nullptr;
    contactCount = 0;
    return chain;
}

void putBackContacts(ContactChain chain)
{
    clearContacts();
    firstContact = chain.first;
    lastContact = chain.last;
    contactCount = chain.count;
}

void freeContacts(ContactChain chain)
{
    Contact *record = chain.first;
    while (record != nullptr) {
        Contact *next = record->next;
        free(record);
        record = next;
    }
}
