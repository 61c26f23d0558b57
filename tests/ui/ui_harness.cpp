#include "tests/ui/ui_harness.h"

#include "common/text.h"
#include "shell/app.h"
#include "shell/list_view.h"
#include "shell/toolbar.h"
#include "store/contact_list.h"

#include <commctrl.h>

void ProgramTest::SetUp()
{
    window = startProgram(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    ASSERT_NE(nullptr, window);
}

int ProgramTest::closeProgram()
{
    PostMessageA(window, WM_CLOSE, 0, 0);
    closed = true;
    return runMessageLoop();
}

void ProgramTest::TearDown()
{
    if (!closed)
        closeProgram();
    clearContacts();
}

std::string windowText(HWND window)
{
    char text[512];
    GetWindowTextA(window, text, sizeof text);
    return text;
}

void addContact(const char *name, const char *number, const char *remark)
{
    Contact contact = {};
    copyText(contact.name, sizeof contact.name, name);
    copyText(contact.number, sizeof contact.number, number);
    copyText(contact.remark, sizeof contact.remark, remark);
    appendContact(contact);
}

static std::string cellText(int row, int column)
{
    char text[64] = "";
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(listView, LVM_GETITEMTEXTA, row, (LPARAM)&item);
    return text;
}

std::vector<std::string> listRows()
{
    std::vector<std::string> rows;
    int count = (int)SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0);
    for (int row = 0; row < count; row++) {
        UINT state = (UINT)SendMessageA(listView, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK);
        rows.push_back(cellText(row, 0) + "|" + cellText(row, 1) + "|" + cellText(row, 2) +
                       (state == 0x2000 ? " [x]" : ""));
    }
    return rows;
}

void typeSearch(const char *text)
{
    SetWindowTextA(searchBox, text);
}

void setRowTicked(int row, bool ticked)
{
    LVITEMA item = {};
    item.state = ticked ? 0x2000 : 0x1000;
    item.stateMask = LVIS_STATEIMAGEMASK;
    SendMessageA(listView, LVM_SETITEMSTATE, row, (LPARAM)&item);
}

std::string contactFlags()
{
    std::string flags;
    for (const Contact *c = firstContact; c != nullptr; c = c->next) {
        flags += flags.empty() ? "" : " ";
        flags += std::string(c->name) + ":" + (c->checked ? "c" : "-") + (c->shown ? "s" : "-");
    }
    return flags;
}
