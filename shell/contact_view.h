// Refills the list view from the contact list.
#pragma once

#include "store/contact_list.h"

enum RowFilter { SHOW_ALL, SHOW_MATCHES };

// After an import: shows every contact, then tells the user when the file could not be read
// (unreadable, under caption), memory ran out ("内存不足！") or the file held no contact
// ("文件中没有找到联系人！"). appended is what the reader returned: contacts appended, or a
// ReadFailure.
void showImportResult(int appended, const char *caption, const char *unreadable);
// Rebuilds the rows: all contacts, or only those that match the search box (their shown flag
// is 1, the others' 0). Afterwards row i shows contactAtRow(i).
void refreshContactView(RowFilter filter);
// The contact shown in row, or null when no row has that index.
Contact *contactAtRow(int row);

// How many times the rows were rebuilt. Whatever frees contacts rebuilds the rows afterwards,
// so a contact taken from a row is still alive as long as this count has not moved.
extern unsigned long contactViewRebuilds;
