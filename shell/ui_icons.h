// The eleven interface icons: toolbar images and the list's check boxes.
#pragma once

#include <windows.h>

struct UiIcons {
    HICON checkTicked, checkEmpty;
    HICON add, remove, edit;
    HICON newBook, openBook, saveBook;
    HICON moveUp, moveDown, deleteChecked;
};

extern UiIcons uiIcons;

void loadIcons();
void releaseIcons();
