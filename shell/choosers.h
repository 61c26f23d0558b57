// File and folder choosers.
#pragma once

#include "common/paths.h"

#include <windows.h>

#include <cstddef>

enum { CHOOSER_OPEN = 0, CHOOSER_SAVE = 1, FOLDER_TITLE_SIZE = 40 };

extern char folderDialogTitle[FOLDER_TITLE_SIZE];
extern char chosenFolder[PATH_SIZE]; // the folder the folder dialog yielded last

// Shows the open or save file chooser, owned by owner: the main window, or the dialog that
// asks for a file, so that the windows behind it stay locked. filter is the platform's list
// of description/pattern pairs. Saving applies the default extension and asks before an
// existing file is replaced. True when the user chose a file, whose full path is then in
// path.
bool chooseFile(HWND owner, const char *filter, const char *title, char *path, size_t size,
                int mode, const char *extension);
// True when no file is at path, or the user, asked "文件已存在，是否替换？" with caption in a box
// owned by owner, answered Yes.
bool mayReplaceFile(HWND owner, const char *path, const char *caption);
// Shows the folder dialog with caption title; true when the user confirmed a non-blank path,
// which is then in chosenFolder, trimmed; false when the user cancelled.
bool chooseFolder(const char *title);
