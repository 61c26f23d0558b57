// Plain-text and CSV commands with their dialogs, answered as a user would.
#include "tests/ui/ui_harness.h"

#include "shell/csv_commands.h"
#include "resources/resource.h"
#include "shell/app.h"
#include "shell/main_window.h"
#include "store/contact_list.h"
#include "tests/support/temp_dir.h"

#include <algorithm>

class TextCsvCommandsTest : public ProgramTest {
protected:
    TempDir dir;
};
using TextCsvChooserTest = TextCsvCommandsTest;

// The dialog names an unnamed column by its place and preselects the columns it recognises
// (which names, the core tests say); the user can still choose others. A single column needs
// no dialog; a file that adds no contact says so, and one that cannot be read, or is empty,
// says that instead.
TEST_F(TextCsvCommandsTest, ColumnsAreChosenOnlyWhenThereIsAChoice)
{
    std::string path = dir.path("in.csv");
    writeFileBytes(path, "姓名,,备注\r\nLi,138,n\r\n");
    respond([](HWND dialog) {
        EXPECT_EQ("姓名", windowText(GetDlgItem(dialog, IDC_CSV_NAME)));
        EXPECT_EQ("（第2列）", windowText(GetDlgItem(dialog, IDC_CSV_NUMBER)));
        EXPECT_EQ("备注", windowText(GetDlgItem(dialog, IDC_CSV_REMARK)));
        SendDlgItemMessageA(dialog, IDC_CSV_NAME, CB_SETCURSEL, 3, 0);   // the remark's column
        SendDlgItemMessageA(dialog, IDC_CSV_REMARK, CB_SETCURSEL, 0, 0); // none
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    importCsvFile(path.c_str());
    writeFileBytes(path, "contacts\r\n张三,138\r\n");
    importCsvFile(path.c_str());
    EXPECT_EQ(Rows({"n|138|", "张三|138|"}), listRows());
    writeFileBytes(path, "姓名\r\n");
    respond(answer(IDOK, "导入CSV文件", "文件中没有找到联系人！"));
    importCsvFile(path.c_str());
    for (const std::string &unreadable : {dir.path("missing.csv"), dir.path("empty.csv")}) {
        writeFileBytes(dir.path("empty.csv"), "");
        respond(answer(IDOK, "CSV", "无法读取csv文件！"));
        importCsvFile(unreadable.c_str());
    }
    EXPECT_EQ(2, contactCount);
}

TEST_F(TextCsvCommandsTest, CsvExportToAPathThatCannotBeWrittenSaysSo)
{
    addContact("A", "1");
    respond(pressButton(IDYES));
    respond(answer(IDOK, "CSV", "无效的文件名！\n生成CSV文件失败！"));
    exportCsvFile(dir.path("none\\x.csv").c_str());
    EXPECT_EQ("", dir.listing());
}

// An Excel workbook through its menu command and the system's chooser: the column dialog
// offers the header's cells with the columns it recognises chosen; a workbook only a
// password opens is told apart.
TEST_F(TextCsvChooserTest, WorkbooksImportThroughTheirCommand)
{
    auto sample = [](const char *name) { // the chooser takes a path with one kind of slash
        std::string path = std::string(TEST_DATA_DIR "/readers/") + name;
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    };
    respond(chooseFileNamed(sample("xlsx-written-by-hand.xlsx")));
    respond([](HWND dialog) {
        EXPECT_EQ("姓名", windowText(GetDlgItem(dialog, IDC_CSV_NAME)));
        EXPECT_EQ("手机号码", windowText(GetDlgItem(dialog, IDC_CSV_NUMBER)));
        EXPECT_EQ("备注", windowText(GetDlgItem(dialog, IDC_CSV_REMARK)));
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    runCommand(IDM_IMPORT_XLSX);
    const Rows imported = {"欧阳修文|13912345678|A&B 公司 <总部>", "李四|13800138000|第一行 第二行",
                           "|8600000000000|笑脸?", "王五|0.1|"};
    EXPECT_EQ(imported, listRows());
    respond(chooseFileNamed(sample("xlsx-protected-by-a-password.xlsx")));
    respond(answer(IDOK, "导入Excel文件", "这个Excel文件有密码保护，没有密码无法读取。\n请在Excel中去掉密码，另存一份后再导入。"));
    runCommand(IDM_IMPORT_XLSX);
    EXPECT_EQ(imported, listRows());
}

// The chooser the export's "..." opens belongs to the export dialog: closing it leaves the
// main window locked.
TEST_F(TextCsvChooserTest, TextExportBrowseFillsThePath)
{
    std::string folder = dir.path("");
    respond([folder](HWND dialog) {
        for (int browse = 0; browse < 3; browse++) {
            SendMessageA(dialog, WM_COMMAND, IDC_TEXT_BROWSE, 0);
            EXPECT_FALSE(IsWindowEnabled(mainWindow)) << "browse " << browse;
        }
        EXPECT_EQ(folder + "list.txt", windowText(GetDlgItem(dialog, IDC_TEXT_PATH)));
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    respond(pressButton(IDCANCEL));
    respond(chooseFileNamed(folder + std::string(252 - folder.size(), 'b')));
    respond(answer(IDOK, "选择目录", "路径太长！"));
    respond([folder](HWND chooser) {
        EXPECT_EQ("选择目录", windowText(chooser));
        chooseFileNamed(folder + "list")(chooser);
    });
    runCommand(IDM_EXPORT_TXT);
}
