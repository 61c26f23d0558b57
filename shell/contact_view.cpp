// The rows are rebuilt from nothing on every refresh, and the ticked ones ticked from their
// contacts' flags, quietly: the main window's handler would otherwise walk the list to the
// row's contact once per ticked row.
#include "shell/contact_view.h"

#include "shell/list_view.h"
#include "shell/main_window.h"
#include "shell/toolbar.h"
#include "store/quick_search.h"

#include <commctrl.h>

enum { TYPED_QUERY_SIZE = 256 };

unsigned long contactViewRebuilds;

static void readQuery(char query[QUERY_SIZE])
{
    char typed[TYPED_QUERY_SIZE] = "";
    GetWindowTextA(searchBox, typed, sizeof typed);
    prepareQuery(query, typed);
}

static void insertRow(int row, Contact *contact)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = contact->name;
    item.cchTextMax = 260;
    SendMessageA(listView, LVM_INSERTITEMA, 0, (LPARAM)&item);
    item.iSubItem = 1;
    item.pszText = contact->number;
    SendMessageA(listView, LVM_SETITEMA, 0, (LPARAM)&item);
    item.iSubItem = 2;
    item.pszText = contact->remark;
    SendMessageA(listView, LVM_SETITEMA, 0, (LPARAM)&item);
}

void showImportResult(int appended, const char *caption, const char *unreadable)
{
    refreshContactView(SHOW_ALL);
    if (appended < 0)
        MessageBoxA(mainWindow, unreadable, caption, MB_OK | MB_ICONWARNING);
    else if (appended == 0)
        MessageBoxA(mainWindow, "文件中没有找到联系人！", caption, MB_OK | MB_ICONINFORMATION);
}

void refreshContactView(RowFilter filter)
{
    contactViewRebuilds++;
    SendMessageA(listView, WM_SETREDRAW, FALSE, 0);
    SendMessageA(listView, LVM_DELETEALLITEMS, 0, 0);
    SendMessageA(listView, LVM_SETITEMCOUNT, contactCount, 0);
    char query[QUERY_SIZE] = "";
    if (filter == SHOW_MATCHES)
        readQuery(query);
    int row = 0;
    for (Contact *contact = firstContact; contact != nullptr; contact = contact->next) {
        if (!contactMatchesQuery(contact, query)) {
            contact->shown = 0;
            continue;
        }
        insertRow(row, contact);
        contact->shown = 1;
        if (contact->checked == 1)
            tickRowQuietly(row);
        row++;
    }
    SendMessageA(listView, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listView, nullptr, TRUE);
}
