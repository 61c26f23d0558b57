// CSV and Excel import with the column dialog, and CSV export.
#include "shell/csv_commands.h"

#include "common/text.h"
#include "interchange/csv_format.h"
#include "interchange/exchange_formats.h"
#include "interchange/xlsx_format.h"
#include "resources/resource.h"
#include "shell/app.h"
#include "shell/choosers.h"
#include "shell/contact_view.h"

static const char csvFilter[] = "CSV文件(*.csv)\0*.csv\0";
static const char xlsxFilter[] = "Excel文件(*.xlsx)\0*.xlsx\0";
static const char xlsxTitle[] = "导入Excel文件";

enum { COLUMN_LABEL_SIZE = 32 };

static void fillColumnBox(HWND dialog, int box, int selected)
{
    SendDlgItemMessageA(dialog, box, CB_RESETCONTENT, 0, 0);
    SendDlgItemMessageA(dialog, box, CB_ADDSTRING, 0, (LPARAM) "（无）");
    for (int column = 0; column < csvColumnCount; column++) {
        char label[COLUMN_LABEL_SIZE];
        const char *name = csvColumnNames[column];
        if (name[0] == '\0') {
            formatText(label, sizeof label, "（第%d列）", column + 1);
            name = label;
        }
        SendDlgItemMessageA(dialog, box, CB_ADDSTRING, 0, (LPARAM)name);
    }
    SendDlgItemMessageA(dialog, box, CB_SETCURSEL, selected, 0);
}

// The boxes start with the columns the header names; position k is column k - 1.
static void onInitCsvColumns(HWND dialog)
{
    recognizeCsvColumns();
    fillColumnBox(dialog, IDC_CSV_NAME, csvNameColumn + 1);
    fillColumnBox(dialog, IDC_CSV_NUMBER, csvNumberColumn + 1);
    fillColumnBox(dialog, IDC_CSV_REMARK, csvRemarkColumn + 1);
}

// Position 0 is "none"; position k is column k - 1. No selection also means none.
static int chosenColumn(HWND dialog, int box)
{
    return (int)SendDlgItemMessageA(dialog, box, CB_GETCURSEL, 0, 0) - 1;
}

static void onCsvColumnsChosen(HWND dialog)
{
    csvNameColumn = chosenColumn(dialog, IDC_CSV_NAME);
    csvNumberColumn = chosenColumn(dialog, IDC_CSV_NUMBER);
    csvRemarkColumn = chosenColumn(dialog, IDC_CSV_REMARK);
    EndDialog(dialog, 1);
}

static INT_PTR CALLBACK csvColumnDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        onInitCsvColumns(dialog);
    else if (message == WM_COMMAND && wParam == IDOK)
        onCsvColumnsChosen(dialog);
    else if (message == WM_COMMAND && wParam == IDCANCEL)
        EndDialog(dialog, 0);
    return FALSE;
}

// Shows the column dialog over the columns read last; true when the user confirmed a mapping.
static bool showCsvColumnDialog()
{
    return DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_CSV_COLUMNS), mainWindow,
                           csvColumnDialogProc, 0) == 1;
}

// The columns of a table opened into csv chosen, where there is a choice, and its records
// imported.
static void importTable(CsvFile *csv, int before, const char *caption)
{
    bool confirmed = true;
    if (csvColumnCount < 2)
        useDefaultCsvMapping();
    else
        confirmed = showCsvColumnDialog();
    if (confirmed)
        showImportResult(importCsvRecords(csv), before, caption, "");
    closeCsv(csv);
}

void importCsvFile(const char *path)
{
    CsvFile csv;
    int before = contactCount;
    int opened = openCsv(path, &csv);
    if (opened != 0)
        showImportResult(opened, before, "CSV", "无法读取csv文件！");
    else
        importTable(&csv, before, "导入CSV文件");
}

void importXlsxFile(const char *path)
{
    CsvFile csv;
    int before = contactCount;
    int opened = openXlsx(path, &csv);
    if (opened == READ_NO_MEMORY)
        showImportResult(opened, before, xlsxTitle, "");
    else if (opened != 0)
        MessageBoxA(mainWindow, workbookRefusal(opened), xlsxTitle, MB_OK | MB_ICONWARNING);
    else
        importTable(&csv, before, xlsxTitle);
}

void importXlsxCommand()
{
    char path[PATH_SIZE] = "";
    if (chooseFile(mainWindow, xlsxFilter, xlsxTitle, path, sizeof path, CHOOSER_OPEN, ".xlsx"))
        importXlsxFile(path);
}

void importCsvCommand()
{
    char path[PATH_SIZE] = "";
    if (!chooseFile(mainWindow, csvFilter, "导入CSV文件", path, sizeof path, CHOOSER_OPEN,
                    ".csv"))
        return;
    importCsvFile(path);
}

void exportCsvCommand()
{
    char path[PATH_SIZE] = "";
    if (chooseFile(mainWindow, csvFilter, "生成CSV文件", path, sizeof path, CHOOSER_SAVE,
                   ".csv"))
        exportCsvFile(path);
}

void exportCsvFile(const char *path)
{
    int answer = MessageBoxA(mainWindow, "请选择输出的项目：\n点击“是”输出所有项，“否”输出选中项",
                             "生成CSV", MB_YESNOCANCEL | MB_ICONINFORMATION);
    if (answer != IDYES && answer != IDNO)
        return;
    ExportOptions options = {};
    options.checkedOnly = answer == IDNO;
    if (csvFormat.write(path, &options))
        MessageBoxA(mainWindow, "生成CSV文件成功！", "CSV", MB_OK | MB_ICONINFORMATION);
    else
        MessageBoxA(mainWindow, "无效的文件名！\n生成CSV文件失败！", "CSV", MB_OK | MB_ICONWARNING);
}
