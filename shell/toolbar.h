// The toolbar with its nine command buttons, and the quick-search box that sits on it.
#pragma once

#include <windows.h>

extern HWND toolbarWindow;
extern HWND searchBox;

// Builds the toolbar along the top of the main window.
void createToolbar();
// Creates the search box over the toolbar's wide separator.
void createSearchBox();

struct SearchQuery;
// What the search box holds, prepared for the search.
void readSearchQuery(SearchQuery *query);
bool searchBoxIsEmpty();
