// Refills the list view from the contact list.
#pragma once

enum RowFilter { SHOW_ALL, SHOW_MATCHES };

// After an import: shows every contact, then tells the user when the file could not be read
// (unreadable, under caption) or held no contact ("文件中没有找到联系人！"). appended is what
// the reader returned: contacts appended, or -1.
void showImportResult(int appended, const char *caption, const char *unreadable);
// Rebuilds every row: all contacts, or only those that match the search box. Afterwards row
// i shows the contact shownContactAt(i) returns.
void refreshContactView(RowFilter filter);

// How many times the rows were rebuilt. Whatever frees contacts rebuilds the rows afterwards,
// so a contact taken from a row is still alive as long as this count has not moved.
extern unsigned long contactViewRebuilds;
