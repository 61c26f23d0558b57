// The list view holds no rows of its own: it is told how many there are and asks for each
// one's texts and tick as it paints it. The rows live here, as an array of the shown contacts
// in list order, so a refill costs one walk of the list whatever the list view had before,
// and a row leads to its contact without a walk. The program itself keeps the selection with
// its contact and the list at its place across a refill: the list view keeps neither.
#include "shell/contact_view.h"

#include "interchange/exchange_formats.h"
#include "shell/app.h"
#include "shell/list_view.h"
#include "shell/toolbar.h"
#include "store/quick_search.h"

#include <commctrl.h>

#include <cstdlib>

unsigned long contactViewRebuilds;
static Contact **rows;
static int rowCount;
static int rowCapacity;

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

int selectedRow()
{
    return (int)SendMessageA(listView, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
}

// Selects and focuses row alone, or no row for -1. Only the rows that have the states are
// cleared: clearing every row, Wine takes the scroll bar away and puts it back, which costs
// more than a refill.
static void selectOnly(int row)
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    const UINT states[] = {LVNI_SELECTED, LVNI_FOCUSED};
    for (UINT state : states) {
        int marked = (int)SendMessageA(listView, LVM_GETNEXTITEM, (WPARAM)-1, state);
        if (marked >= 0 && marked != row)
            SendMessageA(listView, LVM_SETITEMSTATE, marked, (LPARAM)&item);
    }
    if (row < 0)
        return;
    item.state = item.stateMask;
    SendMessageA(listView, LVM_SETITEMSTATE, row, (LPARAM)&item);
}

// Scrolls so that row top is the first row shown, as far as the rows reach.
static void scrollToRow(int top)
{
    int page = (int)SendMessageA(listView, LVM_GETCOUNTPERPAGE, 0, 0);
    if (top > rowCount - page)
        top = rowCount - page;
    if (top < 0)
        top = 0;
    int current = (int)SendMessageA(listView, LVM_GETTOPINDEX, 0, 0);
    if (top == current || rowCount == 0)
        return;
    RECT item;
    item.left = LVIR_BOUNDS;
    SendMessageA(listView, LVM_GETITEMRECT, current, (LPARAM)&item);
    SendMessageA(listView, LVM_SCROLL, 0, (top - current) * (item.bottom - item.top));
}

// Scrolls as little as needed to show row whole.
static void scrollIntoView(int row)
{
    int top = (int)SendMessageA(listView, LVM_GETTOPINDEX, 0, 0);
    int page = (int)SendMessageA(listView, LVM_GETCOUNTPERPAGE, 0, 0);
    if (row < top)
        scrollToRow(row);
    else if (row >= top + page)
        scrollToRow(row - page + 1);
}

static int rowOf(const Contact *contact)
{
    for (int row = 0; row < rowCount && contact != nullptr; row++)
        if (rows[row] == contact)
            return row;
    return -1;
}

void refreshContactView(RowFilter filter)
{
    contactViewRebuilds++;
    // The selected contact may have been freed since the last refill: its address is only
    // compared with the records of this one, never read.
    const Contact *selected = contactAtRow(selectedRow());
    int top = (int)SendMessageA(listView, LVM_GETTOPINDEX, 0, 0);
    SearchQuery query;
    prepareQuery(&query, "");
    if (filter == SHOW_MATCHES)
        readSearchQuery(&query);
    reserveRows();
    rowCount = 0;
    for (Contact *contact = firstContact; contact != nullptr; contact = contact->next) {
        contact->shown = rowCount < rowCapacity && contactMatchesQuery(contact, &query);
        if (contact->shown)
            rows[rowCount++] = contact;
    }
    SendMessageA(listView, LVM_SETITEMCOUNT, rowCount, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    selectOnly(rowOf(selected));
    scrollToRow(top);
    InvalidateRect(listView, nullptr, TRUE);
}

void showSearchMatches()
{
    refreshContactView(SHOW_MATCHES);
    scrollToRow(0);
    int row = selectedRow();
    if (row >= 0)
        scrollIntoView(row);
}

void refreshAfterRemoval(RowFilter filter, int selectedBefore)
{
    refreshContactView(filter);
    if (selectedRow() < 0 && selectedBefore >= 0 && rowCount > 0)
        showRow(selectedBefore);
}

void showRow(int row)
{
    if (row >= rowCount)
        row = rowCount - 1;
    selectOnly(row);
    if (row < 0)
        scrollToRow(0);
    else
        scrollIntoView(row);
}

void showContact(const Contact *contact)
{
    int row = rowOf(contact);
    if (row >= 0)
        showRow(row);
}

Contact *contactAtRow(int row)
{
    return row >= 0 && row < rowCount ? rows[row] : nullptr;
}

void showImportResult(int appended, int before, const char *caption, const char *unreadable)
{
    refreshContactView(SHOW_ALL);
    if (appended > 0)
        showRow(before);
    if (appended == READ_NO_MEMORY)
        MessageBoxA(mainWindow, outOfMemoryMessage, caption, MB_OK | MB_ICONWARNING);
    else if (appended < 0)
        MessageBoxA(mainWindow, unreadable, caption, MB_OK | MB_ICONWARNING);
    else if (appended == 0)
        MessageBoxA(mainWindow, "文件中没有找到联系人！", caption, MB_OK | MB_ICONINFORMATION);
}
