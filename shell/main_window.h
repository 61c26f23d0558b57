// The main window: its procedure, its keys, its caption and the path of the open book.
#pragma once

#include "common/paths.h"

#include <windows.h>

extern char currentPath[PATH_SIZE]; // empty while the book has no file
extern const char programTitle[];

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Shows the program's name and the open file (or the new-file marker) in the caption.
void updateTitle();
// The keys the main window answers wherever they are pressed in it: Ctrl+N, Ctrl+O, Ctrl+S
// and Ctrl+F, Tab and Shift+Tab between the search box and the list, Escape in the search
// box. True when message was such a key and is done.
bool translateMainWindowKey(MSG *message);
