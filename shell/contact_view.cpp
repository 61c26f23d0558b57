// The list view holds no rows of its own: it is told how many there are and asks for each
// one's texts and tick as it paints it. The rows live here, as an array of the shown contacts
// in list order, so a refill costs one walk of the list whatever the list view had before,
// and a row leads to its contact without a walk. The program itself keeps the selection with
// its contact and the list at its place across a refill: the list view keeps neither.
//
// While the user types, a query that grows looks only among the rows of the one before it,
// and one that shrinks back to a query typed lately takes that query's rows as they were
// kept: a keystroke costs the rows it looks at, not the whole book. Once the list has
// changed, the rows are found in it anew and the kept ones forgotten. A contact the search
// hid while it was selected is selected again when a later search shows it.
#include "shell/contact_view.h"

#include "common/memory.h"
#include "common/text.h"
#include "interchange/exchange_formats.h"
#include "shell/app.h"
#include "shell/list_view.h"
#include "shell/toolbar.h"
#include "store/quick_search.h"

#include <commctrl.h>

#include <cstring>

unsigned long contactViewRebuilds;
static Contact **rows;
static int rowCount;
static int rowCapacity;

enum { KEPT_QUERIES = 8 };

// The rows of a query typed lately, in list order.
struct KeptRows {
    char query[QUERY_SIZE];
    Contact **rows; // null while the slot is free
    int count;
};
static KeptRows keptRows[KEPT_QUERIES];
static int nextKeptSlot;
static char rowsQuery[QUERY_SIZE]; // the query the rows now shown were found for
static unsigned long rowsListChanges; // contactListChanges when the rows were found
static const Contact *hiddenSelection; // selected until the search hid it

static void forgetKeptRows()
{
    for (KeptRows &kept : keptRows) {
        freeMemory(kept.rows);
        kept.rows = nullptr;
    }
}

// Keeps a copy of the rows shown now, found for rowsQuery; nothing without memory, or when
// the rows kept already hold more than two books' worth.
static void keepRows()
{
    long held = rowCount;
    for (const KeptRows &kept : keptRows)
        held += kept.rows != nullptr && strcmp(kept.query, rowsQuery) != 0 ? kept.count : 0;
    for (KeptRows &kept : keptRows)
        if (kept.rows != nullptr && strcmp(kept.query, rowsQuery) == 0)
            return;
    if (held > 2L * contactCount)
        return;
    KeptRows &slot = keptRows[nextKeptSlot];
    nextKeptSlot = (nextKeptSlot + 1) % KEPT_QUERIES;
    freeMemory(slot.rows);
    slot.rows = (Contact **)allocateMemory(((size_t)rowCount + 1) * sizeof *rows);
    if (slot.rows == nullptr)
        return;
    memcpy(slot.rows, rows, (size_t)rowCount * sizeof *rows);
    slot.count = rowCount;
    copyText(slot.query, sizeof slot.query, rowsQuery);
}

static const KeptRows *keptRowsFor(const char *query)
{
    for (const KeptRows &kept : keptRows)
        if (kept.rows != nullptr && strcmp(kept.query, query) == 0)
            return &kept;
    return nullptr;
}

// Room for a row per contact. Without memory for a larger array the old one stays, and the
// contacts beyond it go unshown until a later refill finds the room.
static void reserveRows()
{
    if (contactCount <= rowCapacity)
        return;
    Contact **larger = (Contact **)resizeMemory(rows, contactCount * sizeof *rows);
    if (larger == nullptr)
        return;
    rows = larger;
    rowCapacity = contactCount;
}

// Wine's list view looks for the selected row through every row; it counts them at once.
int selectedRow()
{
    if (SendMessageA(listView, LVM_GETSELECTEDCOUNT, 0, 0) == 0)
        return -1;
    return (int)SendMessageA(listView, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
}

// Selects and focuses row alone, or no row for -1. Only the rows that have the states are
// cleared: clearing every row, Wine takes the scroll bar away and puts it back, which costs
// more than a refill.
static void selectOnly(int row)
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    const int marked[] = {selectedRow(), (int)SendMessageA(listView, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED)};
    for (int markedRow : marked)
        if (markedRow >= 0 && markedRow != row)
            SendMessageA(listView, LVM_SETITEMSTATE, markedRow, (LPARAM)&item);
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

// Finds the rows of query among every contact.
static void findRows(const SearchQuery *query)
{
    reserveRows();
    rowCount = 0;
    rowsListChanges = contactListChanges;
    bool all = query->text[0] == '\0';
    for (Contact *contact = firstContact; contact != nullptr; contact = contact->next) {
        contact->shown = rowCount < rowCapacity && (all || contactMatchesQuery(contact, query));
        if (contact->shown)
            rows[rowCount++] = contact;
    }
}

// Finds the rows of query among those of a shorter query (count of them, in among).
static void narrowRows(const SearchQuery *query, Contact *const *among, int count)
{
    int kept = 0;
    for (int i = 0; i < count; i++) {
        Contact *contact = among[i];
        contact->shown = contactMatchesQuery(contact, query);
        if (contact->shown)
            rows[kept++] = contact;
    }
    rowCount = kept;
}

// Has the list drawn anew: its rows, and of its frame the vertical scroll bar, which is all
// a new count changes there, unless a scroll bar came or went (then the whole frame).
static void redrawList(LONG scrollBarsBefore)
{
    InvalidateRect(listView, nullptr, TRUE);
    SCROLLBARINFO bar = {};
    bar.cbSize = sizeof bar;
    LONG scrollBars = GetWindowLongA(listView, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL);
    if (scrollBars != scrollBarsBefore || !GetScrollBarInfo(listView, OBJID_VSCROLL, &bar)) {
        RedrawWindow(listView, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        return;
    }
    MapWindowPoints(nullptr, listView, (POINT *)&bar.rcScrollBar, 2);
    RedrawWindow(listView, &bar.rcScrollBar, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

// Shows the rows found, the list at top and the selected contact, while it has a row,
// selected and in view. The list is hidden from drawing meanwhile: setting its count, Wine's
// list view sets its scroll bars four times over and draws them each time where it can.
static void showRows(const Contact *selected, int top)
{
    contactViewRebuilds++;
    LONG scrollBars = GetWindowLongA(listView, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL);
    DefWindowProcA(listView, WM_SETREDRAW, FALSE, 0);
    SendMessageA(listView, LVM_SETITEMCOUNT, rowCount, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    int row = rowOf(selected);
    selectOnly(row);
    scrollToRow(top);
    if (row >= 0)
        scrollIntoView(row);
    DefWindowProcA(listView, WM_SETREDRAW, TRUE, 0);
    redrawList(scrollBars);
}

void refreshContactView(RowFilter filter)
{
    // The selected contact may have been freed since the last refill: its address is only
    // compared with the records of this one, never read.
    const Contact *selected = contactAtRow(selectedRow());
    int top = (int)SendMessageA(listView, LVM_GETTOPINDEX, 0, 0);
    SearchQuery query;
    prepareQuery(&query, "");
    if (filter == SHOW_MATCHES)
        readSearchQuery(&query);
    forgetKeptRows();
    hiddenSelection = nullptr;
    findRows(&query);
    copyText(rowsQuery, sizeof rowsQuery, query.text);
    showRows(selected, top);
}

// The rows of what the search box holds now, from the rows kept or shown where they can be.
static void findTypedRows(const SearchQuery *query)
{
    const KeptRows *kept = keptRowsFor(query->text);
    size_t shownLength = strlen(rowsQuery);
    if (rowsListChanges != contactListChanges) {
        findRows(query);
    } else if (kept != nullptr) {
        for (int i = 0; i < rowCount; i++)
            rows[i]->shown = 0;
        memcpy(rows, kept->rows, (size_t)kept->count * sizeof *rows);
        rowCount = kept->count;
        for (int i = 0; i < rowCount; i++)
            rows[i]->shown = 1;
    } else if (shownLength > 0 && strncmp(query->text, rowsQuery, shownLength) == 0) {
        for (int i = 0; i < rowCount; i++)
            rows[i]->shown = 0;
        narrowRows(query, rows, rowCount);
    } else {
        findRows(query);
    }
    copyText(rowsQuery, sizeof rowsQuery, query->text);
}

void showSearchMatches()
{
    if (rowsListChanges != contactListChanges) {
        forgetKeptRows();
        hiddenSelection = nullptr;
    } else {
        keepRows();
    }
    const Contact *selected = contactAtRow(selectedRow());
    if (selected == nullptr)
        selected = hiddenSelection;
    SearchQuery query;
    readSearchQuery(&query);
    findTypedRows(&query);
    showRows(selected, 0);
    hiddenSelection = selectedRow() < 0 ? selected : nullptr;
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
