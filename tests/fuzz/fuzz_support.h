// Shared by the fuzz targets: every target starts from an empty contact list and must leave
// it consistent (the count equals the records reachable).
#pragma once

#include "store/contact_list.h"

#include <cstdlib>
#include <cstring>

inline void checkAndClearContacts()
{
    int reachable = 0;
    for (const Contact *contact = firstContact; contact != nullptr; contact = contact->next) {
        if (memchr(contact->name, '\0', sizeof contact->name) == nullptr ||
            memchr(contact->number, '\0', sizeof contact->number) == nullptr ||
            memchr(contact->remark, '\0', sizeof contact->remark) == nullptr)
            abort(); // a field without its terminator
        reachable++;
    }
    if (reachable != contactCount)
        abort();
    clearContacts();
}
