// The main window: its procedure, its caption and the path of the open book.
#pragma once

#include "common/paths.h"

#include <windows.h>


extern HWND mainWindow;
extern char currentPath[PATH_SIZE]; // empty while the book has no file
extern const char programTitle[];

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Shows the program's name and the open file (or the new-file marker) in the caption.
void updateTitle();
