// The system's file choosers, folder browser, drops and shell come from their libraries the
// first time one is wanted, not with the program: under Wine, loading comdlg32, shell32 and
// ole32 with it took as long as all the rest of its start. Each call does what the system
// function of the same name does; without its library it does nothing and fails.
#pragma once

#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include "shell/help_dialogs.h"

BOOL getOpenFileName(OPENFILENAMEA *chooser);
BOOL getSaveFileName(OPENFILENAMEA *chooser);
DWORD commonDialogError();
LPITEMIDLIST browseForFolder(BROWSEINFOA *browse);
BOOL pathFromIdList(LPCITEMIDLIST folder, char *path);
void freeTaskMemory(void *memory);
UINT dragQueryFile(HDROP drop, UINT index, char *path, UINT size);
void dragFinish(HDROP drop);
HINSTANCE WINAPI shellExecute(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                              LPCSTR folder, INT show);
