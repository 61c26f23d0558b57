// File and folder choosers. Each is owned by the window that asked for it, and so is every
// message box it shows: closing a modal window enables its owner, and only that one.
#include "shell/choosers.h"

#include "common/paths.h"
#include "common/platform.h"
#include "common/text.h"
#include "resources/resource.h"
#include "shell/app.h"
#include "shell/system_libraries.h"

#include <cstring>

char folderDialogTitle[FOLDER_TITLE_SIZE];
char chosenFolder[PATH_SIZE];

bool mayReplaceFile(HWND owner, const char *path, const char *caption)
{
    if (platformPathKind(path) != PATH_FILE)
        return true;
    return MessageBoxA(owner, "文件已存在，是否替换？", caption, MB_YESNO | MB_ICONWARNING) ==
           IDYES;
}

static bool refuseLongPath(HWND owner, const char *title)
{
    MessageBoxA(owner, "路径太长！", title, MB_OK | MB_ICONWARNING);
    return false;
}

// The system asked about replacing the name as the user typed it; a name that gets its
// extension only now is asked about here.
static bool addDefaultExtension(HWND owner, char *path, size_t size, const char *extension,
                               const char *title)
{
    ExtensionResult result = applyDefaultExtension(path, size, extension);
    if (result == EXTENSION_NO_ROOM)
        return refuseLongPath(owner, title);
    return result == EXTENSION_KEPT || mayReplaceFile(owner, path, title);
}

bool chooseFile(HWND owner, const char *filter, const char *title, char *path, size_t size,
                int mode, const char *extension)
{
    OPENFILENAMEA chooser = {};
    chooser.lStructSize = OPENFILENAME_SIZE_VERSION_400A; // the size Windows 2000 knows
    chooser.hwndOwner = owner;
    chooser.hInstance = appInstance;
    chooser.lpstrFilter = filter;
    chooser.lpstrFile = path;
    chooser.nMaxFile = (DWORD)size;
    chooser.lpstrTitle = title;
    if (mode == CHOOSER_OPEN) {
        chooser.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NOREADONLYRETURN;
        if (getOpenFileName(&chooser))
            return true;
    } else {
        chooser.Flags = OFN_PATHMUSTEXIST | OFN_CREATEPROMPT | OFN_NOREADONLYRETURN |
                        OFN_OVERWRITEPROMPT;
        if (getSaveFileName(&chooser))
            return addDefaultExtension(owner, path, size, extension, title);
    }
    // A path the system accepts but the program cannot keep: say so instead of nothing.
    if (commonDialogError() == FNERR_BUFFERTOOSMALL)
        refuseLongPath(owner, title);
    return false;
}

static void onBrowseFolder(HWND dialog)
{
    BROWSEINFOA browse = {};
    browse.hwndOwner = dialog;
    browse.lpszTitle = "选择路径";
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST folder = browseForFolder(&browse);
    if (folder == nullptr)
        return;
    char path[MAX_PATH] = "";
    if (pathFromIdList(folder, path)) {
        copyText(chosenFolder, sizeof chosenFolder, path);
        SetDlgItemTextA(dialog, IDC_FOLDER_PATH, chosenFolder);
    }
    freeTaskMemory(folder);
}

// OK (and Enter) takes the typed path, trimmed; a blank path keeps the dialog open, and so
// does one too long to be a folder the program can use.
static void onFolderOk(HWND dialog)
{
    char typed[2 * PATH_SIZE] = "";
    GetDlgItemTextA(dialog, IDC_FOLDER_PATH, typed, sizeof typed);
    char trimmed[2 * PATH_SIZE];
    copyField(trimmed, sizeof trimmed, typed);
    if (strlen(trimmed) >= sizeof chosenFolder) {
        MessageBoxA(dialog, "路径太长！", folderDialogTitle, MB_OK | MB_ICONWARNING);
        return;
    }
    copyText(chosenFolder, sizeof chosenFolder, trimmed);
    if (chosenFolder[0] != '\0')
        EndDialog(dialog, 1);
}

static INT_PTR CALLBACK folderDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        SetWindowTextA(dialog, folderDialogTitle);
    else if (message == WM_COMMAND && wParam == IDC_FOLDER_BROWSE)
        onBrowseFolder(dialog);
    else if (message == WM_COMMAND && wParam == IDOK)
        onFolderOk(dialog);
    else if (message == WM_COMMAND && wParam == IDCANCEL)
        EndDialog(dialog, 0);
    return FALSE;
}

bool chooseFolder(const char *title)
{
    copyText(folderDialogTitle, sizeof folderDialogTitle, title);
    return DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_FOLDER), mainWindow, folderDialogProc, 0) == 1;
}
