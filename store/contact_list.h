// The contact list: every contact of the open book, in one program-wide singly linked list,
// in list order: the order of adding, changed by moving records and by sorting.
#pragma once

#include <cstdint>

enum {
    NAME_SIZE = 12,   // at most 11 bytes of text
    NUMBER_SIZE = 20, // at most 19 bytes of text
    REMARK_SIZE = 40  // at most 39 bytes of text
};

struct Contact {
    char name[NAME_SIZE];
    char number[NUMBER_SIZE];
    char remark[REMARK_SIZE];
    int32_t checked; // 1 while the row's check box is ticked
    int32_t shown;   // 1 while the record has a row in the list view
    Contact *next;   // null at the tail
};

extern Contact *firstContact;
extern int32_t contactCount; // always the number of records reachable from firstContact
// Moves with every change of which records the list holds or of their order: a record taken
// from the list before it moved may have been freed since.
extern unsigned long contactListChanges;

// Appends a copy of the record at the tail (its next becomes null). False when no memory
// could be had, in which case the list is unchanged.
bool appendContact(Contact contact);
// Unlinks and frees the record; false when it is not in the list.
bool removeContact(Contact *contact);
enum MoveDirection { MOVE_DOWN = 0, MOVE_UP = 1 };
// Swaps the record with its predecessor (MOVE_UP) or successor (MOVE_DOWN); the first
// record does not move up, nor the last down.
void moveContact(Contact *contact, MoveDirection direction);
// Frees every record; the list is empty afterwards.
void clearContacts();

// A whole list taken out of the program-wide list: its records, in list order.
struct ContactChain {
    Contact *first;
    Contact *last;
    int32_t count;
};

// Detaches every record: the list is empty afterwards and the chain owns the records.
ContactChain takeContacts();
// Frees the records the list holds now, then makes chain the list again (same records, so
// rows, ticks and shown flags stay as they were).
void putBackContacts(ContactChain chain);
// Frees the records of a chain that was taken out.
void freeContacts(ContactChain chain);
