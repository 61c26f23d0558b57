// Plain-text import, and the export dialog that stays open when its file cannot be written
// so the user can correct the path.
#include "shell/text_commands.h"

#include "common/text.h"
#include "interchange/exchange_formats.h"
#include "resources/resource.h"
#include "shell/app.h"
#include "shell/choosers.h"
#include "shell/contact_view.h"

#include <cstring>

static const char textFilter[] = "文本文件(*.txt)\0*.txt\0";
static const char textSeparators[] = {' ', ','}; // by the separator box's position

enum { TEXT_MESSAGE_SIZE = 320 };

void importTextFile(const char *path)
{
    int before = contactCount;
    showImportResult(textFormat.read(path), before, "导入txt", "无法读取txt文件！");
}

void importTextCommand()
{
    char path[PATH_SIZE] = "";
    if (chooseFile(mainWindow, textFilter, "导入txt", path, sizeof path, CHOOSER_OPEN, ".txt"))
        importTextFile(path);
}

// The path the "..." chooser put into the box: the chooser asked before replacing it. A path
// typed by hand is asked about when it is written.
static char chosenTextPath[PATH_SIZE];
static char writtenTextPath[PATH_SIZE]; // for the report once the dialog has closed
static const char textExportTitle[] = "生成*.txt文件"; // the dialog's caption

static void onInitTextExport(HWND dialog)
{
    chosenTextPath[0] = '\0';
    SendDlgItemMessageA(dialog, IDC_TEXT_SEPARATOR, CB_ADDSTRING, 0, (LPARAM) "空格");
    SendDlgItemMessageA(dialog, IDC_TEXT_SEPARATOR, CB_ADDSTRING, 0, (LPARAM) "逗号,");
    SendDlgItemMessageA(dialog, IDC_TEXT_SEPARATOR, CB_SETCURSEL, 1, 0);
}

static void onBrowseTextPath(HWND dialog)
{
    char path[PATH_SIZE] = "";
    if (!chooseFile(dialog, textFilter, "选择目录", path, sizeof path, CHOOSER_SAVE, ".txt"))
        return;
    copyText(chosenTextPath, sizeof chosenTextPath, path);
    SetDlgItemTextA(dialog, IDC_TEXT_PATH, path);
}

// The typed path, when the program can keep it and may write it; false after telling the user
// why not. The box holds twice the room, to tell a path that is too long from one that fits.
static bool readTextPath(HWND dialog, char path[PATH_SIZE])
{
    char typed[2 * PATH_SIZE] = "";
    GetDlgItemTextA(dialog, IDC_TEXT_PATH, typed, sizeof typed);
    if (strlen(typed) >= PATH_SIZE) {
        MessageBoxA(dialog, "路径太长！", textExportTitle, MB_OK | MB_ICONWARNING);
        return false;
    }
    copyText(path, PATH_SIZE, typed);
    return strcmp(path, chosenTextPath) == 0 || mayReplaceFile(dialog, path, textExportTitle);
}

static void onWriteText(HWND dialog)
{
    refreshContactView(SHOW_MATCHES);
    char path[PATH_SIZE];
    if (!readTextPath(dialog, path))
        return;
    LRESULT selected = SendDlgItemMessageA(dialog, IDC_TEXT_SEPARATOR, CB_GETCURSEL, 0, 0);
    ExportOptions options = {};
    options.separator = selected == 0 ? textSeparators[0] : textSeparators[1];
    options.header = IsDlgButtonChecked(dialog, IDC_TEXT_HEADER) == BST_CHECKED;
    options.checkedOnly = IsDlgButtonChecked(dialog, IDC_TEXT_CHECKED_ONLY) == BST_CHECKED;
    if (!textFormat.write(path, &options)) {
        MessageBoxA(dialog, "生成TXT文件失败！\n请检查您的路径名是否正确或者内存是否充足。", "警告",
                    MB_OK | MB_ICONWARNING);
        return;
    }
    copyText(writtenTextPath, sizeof writtenTextPath, path);
    EndDialog(dialog, 1);
}

static INT_PTR CALLBACK textExportDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        onInitTextExport(dialog);
    else if (message == WM_COMMAND && wParam == IDOK)
        onWriteText(dialog);
    else if (message == WM_COMMAND && wParam == IDCANCEL)
        EndDialog(dialog, 0);
    else if (message == WM_COMMAND && wParam == IDC_TEXT_BROWSE)
        onBrowseTextPath(dialog);
    return FALSE;
}

// Shows the export dialog; true when it wrote the file.
static bool showTextExportDialog()
{
    return DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_TEXT_EXPORT), mainWindow,
                           textExportDialogProc, 0) == 1;
}

// The report comes once the dialog has closed, so that it is owned by the main window alone.
void exportTextCommand()
{
    if (!showTextExportDialog())
        return;
    char message[TEXT_MESSAGE_SIZE];
    formatText(message, sizeof message, "生成TXT文件到目录：\n%s", writtenTextPath);
    MessageBoxA(mainWindow, message, "生成txt", MB_OK | MB_ICONINFORMATION);
}
