// The rows the list view shows, and which of them is selected and where the list is scrolled.
#pragma once

#include "store/contact_list.h"

enum RowFilter { SHOW_ALL, SHOW_MATCHES };

// Rebuilds the rows: all contacts, or only those that match the search box (their shown flag
// is 1, the others' 0). Afterwards row i shows contactAtRow(i). The list keeps its scroll
// position, and the contact that was selected stays selected and focused, scrolled into
// view, while it has a row.
void refreshContactView(RowFilter filter);
// After the search box changed: the matching rows from the top, the selected contact kept
// and scrolled into view while it matches; when a search hid it, a later search that shows
// it again selects it again.
void showSearchMatches();
// After contacts were removed: the rows rebuilt, and when the selected contact is gone, the
// row that took its place (the row that was selected before) selected instead.
void refreshAfterRemoval(RowFilter filter, int selectedBefore);
// Selects and focuses row (the last row for one past the end) and scrolls it into view; -1
// selects nothing and scrolls to the top.
void showRow(int row);
// Selects and focuses the row that shows contact, scrolled into view.
void showContact(const Contact *contact);
// The selected row, or -1.
int selectedRow();
// The contact shown in row, or null when no row has that index.
Contact *contactAtRow(int row);

// After an import that began with contacts already in the list: shows every contact, the
// first one imported scrolled into view, then tells the user when the file could not be
// read (unreadable, under caption), memory ran out or the file held no contact.
// appended is what the reader returned: contacts appended, or a ReadFailure.
void showImportResult(int appended, int before, const char *caption, const char *unreadable);

// How many times the rows were rebuilt. Whatever frees contacts rebuilds the rows afterwards,
// so a contact taken from a row is still alive as long as this count has not moved.
extern unsigned long contactViewRebuilds;
