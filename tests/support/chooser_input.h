// Test helper: types a path into the system's file chooser and presses its OK button.
#pragma once

#include <windows.h>

void typeIntoFileChooser(HWND chooser, const char *path);
