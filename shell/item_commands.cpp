// Add, Edit, Delete, Delete checked and the two moves. Each works on the row the list has
// selected and takes its contact from the rows the view shows; afterwards the contact it
// worked on is selected and in view, or after a delete the row that took its place.
#include "shell/item_commands.h"

#include "common/text.h"
#include "shell/app.h"
#include "shell/contact_dialog.h"
#include "shell/contact_view.h"
#include "shell/toolbar.h"

enum { DELETE_QUESTION_SIZE = 128 };

// Empties the search box (which shows every contact from the top through its change
// notification), and shows every contact.
static void showAllContacts()
{
    if (!searchBoxIsEmpty())
        SetWindowTextA(searchBox, "");
    refreshContactView(SHOW_ALL);
}

void addContactCommand()
{
    contactDialogMode = CONTACT_DIALOG_ADD;
    if (!showContactDialog())
        return;
    if (!appendContact(dialogContact)) {
        MessageBoxA(mainWindow, outOfMemoryMessage, "添加", MB_OK | MB_ICONWARNING);
        return;
    }
    showAllContacts();
    showRow(contactCount - 1);
}

// The dialog's answer goes to the contact it showed, or nowhere: if the rows were rebuilt
// while it was open, that contact may be freed, and its address may hold another by now.
void editContactCommand()
{
    contactDialogMode = CONTACT_DIALOG_EDIT;
    Contact *contact = contactAtRow(selectedRow());
    if (contact == nullptr)
        return;
    copyText(dialogContact.name, sizeof dialogContact.name, contact->name);
    copyText(dialogContact.remark, sizeof dialogContact.remark, contact->remark);
    copyText(dialogContact.number, sizeof dialogContact.number, contact->number);
    unsigned long rebuilds = contactViewRebuilds;
    if (!showContactDialog() || contactViewRebuilds != rebuilds)
        return;
    copyText(contact->name, sizeof contact->name, dialogContact.name);
    copyText(contact->number, sizeof contact->number, dialogContact.number);
    copyText(contact->remark, sizeof contact->remark, dialogContact.remark);
    showAllContacts();
    showContact(contact);
}

void deleteContactCommand()
{
    int row = selectedRow();
    Contact *contact = contactAtRow(row);
    if (contact == nullptr) {
        MessageBoxA(mainWindow, "请选择一项！", "注意", MB_OK | MB_ICONINFORMATION);
        return;
    }
    char question[DELETE_QUESTION_SIZE];
    formatText(question, sizeof question, "你选择删除项目：\n姓名：%s\n点击“是”确认删除。",
               contact->name);
    if (MessageBoxA(mainWindow, question, "删除", MB_ICONWARNING | MB_YESNO) != IDYES)
        return;
    removeContact(contact);
    refreshAfterRemoval(SHOW_MATCHES, row);
}

static bool anyContactTicked()
{
    for (const Contact *contact = firstContact; contact != nullptr; contact = contact->next)
        if (contact->checked == 1)
            return true;
    return false;
}

// Ticked contacts the search hides count too: they are deleted with the shown ones.
void deleteCheckedCommand()
{
    if (!anyContactTicked()) {
        MessageBoxA(mainWindow, "没有选中的联系人！", "删除", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (MessageBoxA(mainWindow, "删除所有选中条目，点击“是”确认删除操作。", "删除",
                    MB_ICONWARNING | MB_YESNO) != IDYES)
        return;
    refreshContactView(SHOW_MATCHES);
    int row = selectedRow();
    Contact *contact = firstContact;
    while (contact != nullptr) {
        Contact *next = contact->next;
        if (contact->checked == 1)
            removeContact(contact);
        contact = next;
    }
    refreshAfterRemoval(SHOW_MATCHES, row);
    MessageBoxA(mainWindow, "选中项已经删除完毕！", "删除", MB_OK | MB_ICONINFORMATION);
}

// Moves the selected contact one place; only on the unfiltered list, where a row's index is
// the contact's place in the list. The contact stays selected.
static void moveSelectedContact(MoveDirection direction)
{
    Contact *contact = contactAtRow(selectedRow());
    if (contact == nullptr || !searchBoxIsEmpty())
        return;
    moveContact(contact, direction);
    refreshContactView(SHOW_ALL);
    showContact(contact);
}

void moveUpCommand()
{
    moveSelectedContact(MOVE_UP);
}

void moveDownCommand()
{
    moveSelectedContact(MOVE_DOWN);
}
