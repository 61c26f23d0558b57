// Plain-text and CSV commands with their dialogs, answered as a user would.
#include "tests/ui/ui_harness.h"

#include "shell/csv_commands.h"
#include "resources/resource.h"
#include "shell/main_window.h"
#include "store/contact_list.h"
#include "tests/support/temp_dir.h"

using Rows = std::vector<std::string>;

class TextCsvCommandsTest : public ProgramTest {
protected:
    TempDir dir;
};
using TextCsvChooserTest = TextCsvCommandsTest;

static std::string comboText(HWND dialog, int box)
{
    char text[64] = "";
    SendDlgItemMessageA(dialog, box, WM_GETTEXT, sizeof text, (LPARAM)text);
    return text;
}

// A path the program cannot write, cannot keep or may not replace keeps the dialog open, and
// the window behind it locked, for a better path; a path that works writes the chosen
// separator and header.
TEST_F(TextCsvCommandsTest, TextExportKeepsTheDialogOpenForABetterPath)
{
    addContact("张三", "138", "同事");
    std::string existing = dir.path("old.txt");
    writeFileBytes(existing, "old");
    const struct {
        std::string path;
        int answer;
        const char *caption, *text;
    } cases[] = {
        {"", IDOK, "警告", "生成TXT文件失败！\n请检查您的路径名是否正确或者内存是否充足。"},
        {dir.path(std::string(256, 'x')), IDOK, "生成*.txt文件", "路径太长！"},
        {existing, IDNO, "生成*.txt文件", "文件已存在，是否替换？"},
        {existing, IDYES, "生成*.txt文件", "文件已存在，是否替换？"},
    };
    respond([&cases, &existing](HWND dialog) {
        EXPECT_EQ("逗号,", comboText(dialog, IDC_TEXT_SEPARATOR)) << "the comma is preselected";
        SendDlgItemMessageA(dialog, IDC_TEXT_SEPARATOR, CB_SETCURSEL, 0, 0);
        CheckDlgButton(dialog, IDC_TEXT_HEADER, BST_CHECKED);
        for (const auto &c : cases) {
            SetDlgItemTextA(dialog, IDC_TEXT_PATH, c.path.c_str());
            SendMessageA(dialog, WM_COMMAND, IDOK, 0); // the message is answered meanwhile
            EXPECT_EQ(c.answer != IDYES, IsWindowVisible(dialog) != 0) << c.text;
            EXPECT_EQ(c.answer == IDYES, IsWindowEnabled(mainWindow) != 0) << c.text;
            EXPECT_EQ(c.answer == IDYES, readFileBytes(existing) != "old") << c.text;
        }
    });
    for (const auto &c : cases)
        respond(answer(c.answer, c.caption, c.text));
    respond(answer(IDOK, "生成txt", "生成TXT文件到目录：\n" + existing));
    runCommand(IDM_EXPORT_TXT);
    EXPECT_EQ("姓名 号码 备注\r\n张三 138 同事\r\n", readFileBytes(existing));
}

// The dialog starts with the columns recognised by their names (which names, the core tests
// say) and offers every column; the user can still choose others, or cancel.
TEST_F(TextCsvCommandsTest, ColumnDialogStartsWithTheColumnsItRecognises)
{
    const struct {
        const char *file;
        const char *name, *number, *remark;
    } cases[] = {
        {"Name,Given Name,Notes,Phone 1 - Type,Phone 1 - Value\r\nLi,Li,n,Mobile,138\r\n", "Name",
         "Phone 1 - Value", "Notes"},                                               // Google
        {"姓名,,备注\r\nLi,138,n\r\n", "姓名", "（第2列）", "备注"},               // an unnamed column
    };
    std::string path = dir.path("in.csv");
    for (const auto &c : cases) {
        writeFileBytes(path, c.file);
        respond([&c](HWND dialog) {
            EXPECT_EQ("CSV", windowText(dialog));
            EXPECT_EQ(c.name, comboText(dialog, IDC_CSV_NAME));
            EXPECT_EQ(c.number, comboText(dialog, IDC_CSV_NUMBER));
            EXPECT_EQ(c.remark, comboText(dialog, IDC_CSV_REMARK));
            SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        });
        importCsvFile(path.c_str());
    }
    EXPECT_EQ(Rows(2, "Li|138|n"), listRows());
    writeFileBytes(path, cases[0].file);
    respond([](HWND dialog) {
        EXPECT_EQ(6, (int)SendDlgItemMessageA(dialog, IDC_CSV_NUMBER, CB_GETCOUNT, 0, 0));
        SendDlgItemMessageA(dialog, IDC_CSV_REMARK, CB_SETCURSEL, 0, 0);
        SendDlgItemMessageA(dialog, IDC_CSV_NUMBER, CB_SETCURSEL, 4, 0);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    importCsvFile(path.c_str());
    respond(cancel());
    importCsvFile(path.c_str());
    EXPECT_EQ(Rows({"Li|138|n", "Li|138|n", "Li|Mobile|"}), listRows());
}

// A single column needs no dialog; a file that adds no contact says so, and one that cannot be
// read says that instead.
TEST_F(TextCsvCommandsTest, SingleColumnNeedsNoDialogAndAnImportOfNothingIsReported)
{
    std::string path = dir.path("in.csv");
    writeFileBytes(path, "contacts\r\n张三,138\r\n");
    importCsvFile(path.c_str());
    EXPECT_STREQ("138", firstContact->number);
    writeFileBytes(path, "");
    respond(answer(IDOK, "导入CSV文件", "文件中没有找到联系人！"));
    importCsvFile(path.c_str());
    respond(answer(IDOK, "CSV", "无法读取csv文件！"));
    importCsvFile(dir.path("missing.csv").c_str());
    EXPECT_EQ(1, contactCount);
}

TEST_F(TextCsvCommandsTest, CsvExportToAPathThatCannotBeWrittenSaysSo)
{
    addContact("A", "1");
    respond(pressButton(IDYES));
    respond(answer(IDOK, "CSV", "无效的文件名！\n生成CSV文件失败！"));
    exportCsvFile(dir.path("none\\x.csv").c_str());
    EXPECT_EQ("", dir.listing());
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
    respond(cancel());
    respond(chooseFileNamed(folder + std::string(252 - folder.size(), 'b')));
    respond(answer(IDOK, "选择目录", "路径太长！"));
    respond([folder](HWND chooser) {
        EXPECT_EQ("选择目录", windowText(chooser));
        chooseFileNamed(folder + "list")(chooser);
    });
    runCommand(IDM_EXPORT_TXT);
}
