// Shared by the fuzz targets: every target starts from an empty contact list and must leave
// it consistent (the count equals the records reachable).
#pragma once

#include "interchange/text_encoding.h"
#include "store/contact_list.h"

#include <cstdlib>
#include <cstring>

// The code page is chosen once, as the program and ctbtool do at start-up.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    selectAnsiLocale();
    return 0;
}

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
