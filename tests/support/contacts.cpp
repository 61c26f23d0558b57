#include "tests/support/contacts.h"

#include "common/text.h"
#include "store/contact_list.h"

std::vector<std::string> contactLines()
{
    std::vector<std::string> lines;
    for (const Contact *c = firstContact; c != nullptr; c = c->next)
        lines.push_back(std::string(c->name) + "|" + c->number + "|" + c->remark + (c->checked ? " [x]" : ""));
    return lines;
}

void addContact(const char *name, const char *number, const char *remark, int checked)
{
    Contact contact = {};
    copyText(contact.name, sizeof contact.name, name);
    copyText(contact.number, sizeof contact.number, number);
    copyText(contact.remark, sizeof contact.remark, remark);
    contact.checked = checked;
    appendContact(contact);
}
