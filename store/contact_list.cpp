// The list keeps a tail pointer besides the head so that reading a large file appends in
// constant time; everything else walks from the head. Records come from blocks of many, so a
// book of 100,000 contacts costs little more than its records: a freed record is kept for the
// next append, and the blocks go back to the system once no record is left. Blocks are plain
// memory, which keeps the C++ runtime's exception machinery out of the program.
#include "store/contact_list.h"

#include "common/memory.h"

Contact *firstContact;
int32_t contactCount;
unsigned long contactListChanges;
static Contact *lastContact;

enum { BLOCK_RECORDS = 1024 };

// A block of records, linked to the block before it.
struct RecordBlock {
    RecordBlock *previous;
    Contact records[BLOCK_RECORDS];
};

static RecordBlock *newestBlock;
static int usedInNewest = BLOCK_RECORDS; // records of the newest block handed out so far
static Contact *freedRecords;            // linked through next
static long liveRecords;                 // in the list, or in a chain taken out of it

static Contact *takeRecord()
{
    if (freedRecords != nullptr) {
        Contact *record = freedRecords;
        freedRecords = record->next;
        return record;
    }
    if (usedInNewest == BLOCK_RECORDS) {
        RecordBlock *block = (RecordBlock *)allocateMemory(sizeof(RecordBlock));
        if (block == nullptr)
            return nullptr;
        block->previous = newestBlock;
        newestBlock = block;
        usedInNewest = 0;
    }
    return &newestBlock->records[usedInNewest++];
}

static void giveBackRecord(Contact *record)
{
    record->next = freedRecords;
    freedRecords = record;
    if (--liveRecords > 0)
        return;
    while (newestBlock != nullptr) {
        RecordBlock *previous = newestBlock->previous;
        freeMemory(newestBlock);
        newestBlock = previous;
    }
    usedInNewest = BLOCK_RECORDS;
    freedRecords = nullptr;
}

bool appendContact(Contact contact)
{
    Contact *record = takeRecord();
    if (record == nullptr)
        return false;
    liveRecords++;
    *record = contact;
    record->next = nullptr;
    if (lastContact == nullptr)
        firstContact = record;
    else
        lastContact->next = record;
    lastContact = record;
    contactCount++;
    contactListChanges++;
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
    contactCount--;
    contactListChanges++;
    giveBackRecord(record);
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
    contactListChanges++;
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
    contactListChanges++;
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
        giveBackRecord(record);
        record = next;
    }
}
