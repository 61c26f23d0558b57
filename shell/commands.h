// The main window's commands: menu items, toolbar buttons and the search box.
#pragma once

#include <windows.h>

// WM_COMMAND at the main window.
void onCommand(WPARAM wParam, LPARAM lParam);
