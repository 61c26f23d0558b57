// The contact list control: three columns, a check box per row, a painted header that
// cannot be clicked or resized, and the two notifications the main window acts on.
#pragma once

#include <windows.h>

extern HWND listView;

// Creates the list with its styles, check-box images, columns and painted header.
void createListView();
// Index of the first selected row, or -1.
int firstSelectedRow(HWND list);
// WM_NOTIFY at the main window: a double-click on a row edits it; a check box writes the
// checked flag of the row's contact.
void onListNotify(const NMHDR *header);
