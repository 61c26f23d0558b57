#include "tests/support/chooser_input.h"

#include <cstring>

enum { CHOOSER_NAME_BOX = 1148 }; // holds a combo box that holds the edit

static BOOL CALLBACK findEdit(HWND child, LPARAM found)
{
    char className[16] = "";
    GetClassNameA(child, className, sizeof className);
    if (_stricmp(className, "Edit") != 0)
        return TRUE;
    *(HWND *)found = child;
    return FALSE;
}

void typeIntoFileChooser(HWND chooser, const char *path)
{
    HWND nameBox = GetDlgItem(chooser, CHOOSER_NAME_BOX);
    HWND edit = nullptr;
    EnumChildWindows(nameBox != nullptr ? nameBox : chooser, findEdit, (LPARAM)&edit);
    SetWindowTextA(edit, path);
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
}
