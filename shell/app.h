// What every window of the program needs, and its start-up and message loop: what the entry
// point does, in calls the UI tests make too, so they start the program exactly as Windows
// does.
#pragma once

#include <windows.h>

extern HINSTANCE appInstance;
extern HFONT uiFont;     // 12-pixel 宋体, for the search box and the painted list header
extern HWND mainWindow;  // the owner of every dialog and message box but the dialogs' own

extern const char outOfMemoryMessage[]; // "内存不足！"

// Registers the window class, creates the font and the main window, places and shows it.
// Returns the main window, or null when it could not be created.
HWND startProgram(HINSTANCE instance, int showCommand);
// Runs until WM_QUIT; returns its wParam. The main window's keys are translated on the way.
int runMessageLoop();
