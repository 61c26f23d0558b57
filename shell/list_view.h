// The contact list control: three columns, a check box per row, a painted header that
// cannot be clicked or resized, and the two notifications the main window acts on.
#pragma once

#include <windows.h>

// A row's state image: its check box, empty or ticked.
enum { STATE_IMAGE_EMPTY = 0x1000, STATE_IMAGE_TICKED = 0x2000 };

extern HWND listView;

// Creates the list with its styles, check-box images, columns and painted header.
void createListView();
// Ticks a row's check box without the main window's handler acting on it: for rows the
// program fills from the contacts' own flags.
void tickRowQuietly(int row);
// Index of the first selected row, or -1.
int firstSelectedRow(HWND list);
// WM_NOTIFY at the main window: a double-click on a row edits it; a check box writes the
// checked flag of the row's contact.
void onListNotify(const NMHDR *header);
