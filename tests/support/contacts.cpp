#include "tests/support/contacts.h"

#include "common/text.h"
#include "store/contact_list.h"

void addContact(const char *name, const char *number, const char *remark, int checked)
{
    Contact contact = {};
    copyText(contact.name, sizeof contact.name, name);
    copyText(contact.number, sizeof contact.number, number);
    copyText(contact.remark, sizeof contact.remark, remark);
    contact.checked = checked;
    appendContact(contact);
}
