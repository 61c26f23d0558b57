// The list view holds no rows of its own: it is told how many there are and asks for each
// one's texts and tick as it paints it. The rows live here, as an array of the shown contacts
// in list order, so a refill costs one walk of the list whatever the list view had before,
// and a row leads to its contact without a walk.
#include "shell/contact_view.h"

#include "interchange/exchange_formats.h"
#include "shell/list_view.h"
#include "shell/main_window.h"
#include "shell/toolbar.h"
#include "store/quick_search.h"

#include <commctrl.h>

#include <cstdlib>

enum { TYPED_QUERY_SIZE = 256 };

unsigned long contactViewRebuilds;
static Contact **rows;
static int rowCount;
static int rowCapacity;

static void readQuery(SearchQuery *query)
{
    char typed[TYPED_QUERY_SIZE] = "";
    GetWindowTextA(searchBox, typed, sizeof typed);
    prepareQuery(query, typed);
}

// Room for a row per contact. Without memory for a larger array the old one stays, and the
// contacts beyond it go unshown until a later refill finds the room.
static void reserveRows()
{
    if (contactCount <= rowCapacity)
        return;
    Contact **larger = (Contact **)realloc(rows, contactCount * sizeof *rows);
    if (larger == nullptr)
        return;
    rows = larger;
    rowCapacity = contactCount;
}

void showImportResult(int appended, const char *caption, const char *unreadable)
{
    refreshContactView(SHOW_ALL);
    if (appended == READ_NO_MEMORY)
        MessageBoxA(mainWindow, "内存不足！", caption, MB_OK | MB_ICONWARNING);
    else if (appended < 0)
        MessageBoxA(mainWindow, unreadable, caption, MB_OK | MB_ICONWARNING);
    else if (appended == 0)
        MessageBoxA(mainWindow, "文件中没有找到联系人！", caption, MB_OK | MB_ICONINFORMATION);
}

// A list filled anew has no selection and shows its first row at the top. Emptying it would
// do both, but Wine then takes the scroll bar away and puts it back, which costs more than
// the rest of the refill; so only the selected and focused rows are cleared.
static void clearSelection()
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    const UINT states[] = {LVNI_SELECTED, LVNI_FOCUSED};
    for (UINT state : states) {
        int row = (int)SendMessageA(listView, LVM_GETNEXTITEM, (WPARAM)-1, state);
        if (row >= 0)
            SendMessageA(listView, LVM_SETITEMSTATE, row, (LPARAM)&item);
    }
}

void refreshContactView(RowFilter filter)
{
    contactViewRebuilds++;
    SearchQuery query;
    prepareQuery(&query, "");
    if (filter == SHOW_MATCHES)
        readQuery(&query);
    clearSelection();
    reserveRows();
    rowCount = 0;
    for (Contact *contact = firstContact; contact != nullptr; contact = contact->next) {
        contact->shown = rowCount < rowCapacity && contactMatchesQuery(contact, &query);
        if (contact->shown)
            rows[rowCount++] = contact;
    }
    SendMessageA(listView, LVM_SETITEMCOUNT, rowCount, 0);
    SendMessageA(listView, LVM_ENSUREVISIBLE, 0, FALSE);
    InvalidateRect(listView, nullptr, TRUE);
}

Contact *contactAtRow(int row)
{
    return row >= 0 && row < rowCount ? rows[row] : nullptr;
}
