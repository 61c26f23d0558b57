// Start-up and the message loop: what the entry point does, in two calls, so the UI tests
// can start the program exactly as Windows does.
#pragma once

#include <windows.h>

extern HINSTANCE appInstance;
extern HFONT uiFont; // 12-pixel 宋体, for the search box and the painted list header

// Registers the window class, creates the font and the main window, places and shows it.
// Returns the main window, or null when it could not be created.
HWND startProgram(HINSTANCE instance, int showCommand);
// Runs until WM_QUIT; returns its wParam.
int runMessageLoop();
