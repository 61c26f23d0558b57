// The contact list control: three columns, a check box per row, a painted header that
// cannot be clicked or resized, and the notifications the main window acts on.
#pragma once

#include <windows.h>

// A row's state image: its check box, empty or ticked.
enum { STATE_IMAGE_EMPTY = 0x1000, STATE_IMAGE_TICKED = 0x2000 };

extern HWND listView;

// Creates the list with its styles, check-box images, columns and painted header.
void createListView();
// WM_NOTIFY at the main window: the list asks for a row's texts and box; a click on a box or
// Space ticks or clears the row's contact; a double-click on a row, or Enter, edits it;
// Delete deletes it.
void onListNotify(const NMHDR *header);
