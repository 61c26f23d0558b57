// What the model run does not drive: double-clicks, the header, an edit of a contact freed
// meanwhile, the folder browser, Exit, sort and duplicates; dialogs and message boxes
// answered as a user would.
#include "tests/ui/ui_harness.h"

#include "bookfile/book_file.h"
#include "common/file_io.h"
#include "common/memory.h"
#include "common/text.h"
#include "resources/resource.h"
#include "shell/app.h"
#include "shell/choosers.h"
#include "shell/contact_view.h"
#include "shell/file_commands.h"
#include "shell/list_view.h"
#include "shell/main_window.h"
#include "shell/toolbar.h"
#include "store/contact_list.h"
#include "tests/support/temp_dir.h"

#include <commctrl.h>

class CommandsTest : public ProgramTest {
protected:
    void addContacts(const char *names)
    {
        for (const char *name = names; *name != '\0'; name++) {
            char one[2] = {*name, '\0'};
            addContact(one);
        }
        refreshContactView(SHOW_ALL);
    }
};

// Commands that open the system's file chooser or folder browser (the file commands are the
// model run's).
using SystemChooserTest = CommandsTest;

// While the dialog is open the main window is locked; should a command free the contact all
// the same, the edit must not land in the record that took its place.
TEST_F(CommandsTest, EditOfAContactFreedMeanwhileChangesNothing)
{
    addContacts("ABC");
    selectRow(2);
    respond([this](HWND dialog) {
        respond(pressButton(IDYES));
        runCommand(IDM_FILE_NEW);
        addContacts("XYZ");
        fillContact("Edited", "1", "", IDC_CONTACT_OK)(dialog);
    });
    runCommand(IDM_ITEM_EDIT);
    EXPECT_EQ(Rows({"X||", "Y||", "Z||"}), listRows());
}

// A click on a check box does not select its row, so a double-click edits the row it was
// on, not the selected one, in whichever column; on the check box itself it only ticks, and
// a click anywhere else ticks nothing.
TEST_F(CommandsTest, DoubleClickEditsTheRowItWasOn)
{
    addContacts("ABC");
    for (int column = 0; column < 3; column++) {
        selectRow(0);
        respond([](HWND dialog) {
            EXPECT_EQ("编辑", windowText(dialog));
            EXPECT_EQ("B", windowText(GetDlgItem(dialog, IDC_CONTACT_NAME)));
            SendMessageA(dialog, WM_COMMAND, IDC_CONTACT_CANCEL, 0);
        });
        RECT cell;
        cell.top = column;
        cell.left = LVIR_LABEL;
        SendMessageA(listView, LVM_GETSUBITEMRECT, 1, (LPARAM)&cell);
        LPARAM point = MAKELPARAM(cell.right - 4, (cell.top + cell.bottom) / 2);
        for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
            SendMessageA(listView, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, point);
        EXPECT_EQ(1, selectedRow()) << "column " << column;
    }
    EXPECT_EQ(Rows({"A||", "B||", "C||"}), listRows());
    selectRow(0);
    LPARAM box = pointOnRow(2, LVHT_ONITEMSTATEICON);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        SendMessageA(listView, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, box);
    EXPECT_EQ(Rows({"A||", "B||", "C|| [x]"}), listRows());
    RECT last; // below the rows nothing opens
    last.left = LVIR_BOUNDS;
    SendMessageA(listView, LVM_GETITEMRECT, 2, (LPARAM)&last);
    SendMessageA(listView, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, last.bottom + 40));
}

// The columns are fixed: dragging or double-clicking a divider of the header resizes none.
TEST_F(CommandsTest, HeaderDividersResizeNoColumn)
{
    HWND header = FindWindowExA(listView, nullptr, "SysHeader32", nullptr);
    ASSERT_NE(nullptr, header);
    RECT first = {};
    SendMessageA(header, HDM_GETITEMRECT, 0, (LPARAM)&first);
    LPARAM divider = MAKELPARAM(first.right - 1, first.bottom / 2);
    LPARAM dragged = MAKELPARAM(first.right + 60, first.bottom / 2);
    int width = (int)SendMessageA(listView, LVM_GETCOLUMNWIDTH, 0, 0);
    for (UINT message : {WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_LBUTTONDOWN}) // a double-click, a press
        SendMessageA(header, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, divider);
    SendMessageA(header, WM_MOUSEMOVE, MK_LBUTTON, dragged); // and a drag from the divider
    SendMessageA(header, WM_LBUTTONUP, 0, dragged);
    EXPECT_EQ(width, (int)SendMessageA(listView, LVM_GETCOLUMNWIDTH, 0, 0));
}

// Any window these opened would fail the test: the harness expects none.
TEST_F(CommandsTest, GrayedSettingsAndNotificationsRunNothingAndExitAsksNothing)
{
    addContacts("A");
    runCommand(IDM_SETTINGS);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_ITEM_ADD, 1), 0); // accelerator code
    runCommand(IDM_FILE_EXIT);
    EXPECT_EQ(0, runLoopToEnd());
    DestroyWindow(window);
}

TEST_F(SystemChooserTest, BrowseOpensTheSystemFolderBrowser)
{
    respond([](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_FOLDER_PATH, "C:\\typed");
        SendMessageA(dialog, WM_COMMAND, IDC_FOLDER_BROWSE, 0); // returns when the browser closes
        EXPECT_EQ("C:\\typed", windowText(GetDlgItem(dialog, IDC_FOLDER_PATH)))
            << "a cancelled browser changes nothing";
        EXPECT_FALSE(IsWindowEnabled(mainWindow)) << "the browser leaves the window locked";
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    respond([](HWND browser) {
        EXPECT_NE(nullptr, FindWindowExA(browser, nullptr, "SysTreeView32", nullptr));
        PostMessageA(browser, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(chooseFolder("选择"));
}

// Sort by name and remove duplicates, through the 项目 menu.
using TidyCommandsTest = ProgramTest;

TEST_F(TidyCommandsTest, SortAsksFirstThenOrdersByPinyinWithTheTicks)
{
    for (const char *name : {"张三", "李四", "Bob"})
        addContact(name, "", "", name[0] == 'B');
    refreshContactView(SHOW_ALL);
    const char question[] = "联系人将按姓名的拼音重新排列，原来的顺序不能恢复。是否继续？";
    respond(answer(IDNO, "按姓名排序", question));
    runCommand(IDM_ITEM_SORT_BY_NAME);
    EXPECT_EQ(Rows({"张三||", "李四||", "Bob|| [x]"}), listRows());
    respond(answer(IDYES, "按姓名排序", question)); // and no message after the sort
    runCommand(IDM_ITEM_SORT_BY_NAME);
    EXPECT_EQ(Rows({"Bob|| [x]", "李四||", "张三||"}), listRows());

    for (int i = 0; i < 60; i++) // the selected contact goes far down, and the list with it
        addContact("Ann", "");
    refreshContactView(SHOW_ALL);
    showRow(2);
    respond(answer(IDYES, "按姓名排序", question));
    runCommand(IDM_ITEM_SORT_BY_NAME);
    int top = (int)SendMessageA(listView, LVM_GETTOPINDEX, 0, 0);
    int page = (int)SendMessageA(listView, LVM_GETCOUNTPERPAGE, 0, 0);
    EXPECT_EQ("张三||", listRows()[62]);
    EXPECT_EQ(62, selectedRow());
    EXPECT_TRUE(top <= 62 && 62 < top + page) << "rows " << top << " to " << top + page - 1 << " shown";
}

// Which contacts are duplicates is the core's; here the questions and the rows.
TEST_F(TidyCommandsTest, RemoveDuplicatesCountsAsksAndRemoves)
{
    addContact("张三", "138");
    refreshContactView(SHOW_ALL);
    respond(answer(IDOK, "删除重复", "没有重复的联系人。"));
    runCommand(IDM_ITEM_REMOVE_DUPLICATES);
    addContact("张三", "138");
    refreshContactView(SHOW_ALL);
    respond(answer(IDNO, "删除重复", "发现1个重复的联系人，是否删除？"));
    respond(answer(IDYES, "删除重复", "发现1个重复的联系人，是否删除？"));
    runCommand(IDM_ITEM_REMOVE_DUPLICATES);
    EXPECT_EQ(2, contactCount);
    runCommand(IDM_ITEM_REMOVE_DUPLICATES);
    EXPECT_EQ(Rows({"张三|138|"}), listRows());
}

// The keys Windows users press, through the program's own message loop: Ctrl+N, Ctrl+S and
// Ctrl+F anywhere; in the list Delete, Enter and Space on the focused row; Tab and Shift+Tab
// between the search box and the list; Escape empties the search box.
TEST_F(CommandsTest, KeysReachTheirCommands)
{
    TempDir dir;
    addContacts("ABC");
    copyText(currentPath, sizeof currentPath, dir.path("book.ctb").c_str());
    selectAndFocus(0, 1);
    SetFocus(listView);
    respond(answer(IDYES, "删除", "你选择删除项目：\n姓名：B\n点击“是”确认删除。"));
    pressKey(listView, VK_DELETE);
    EXPECT_EQ(listView, GetFocus()) << "the keyboard is back in the list after the question";
    respond([](HWND dialog) {
        EXPECT_EQ("C", windowText(GetDlgItem(dialog, IDC_CONTACT_NAME))) << "the row that took B's place";
        SendMessageA(dialog, WM_COMMAND, IDC_CONTACT_CANCEL, 0);
    });
    pressKey(listView, VK_RETURN);
    selectAndFocus(1, 0);
    pressKey(listView, VK_SPACE);
    EXPECT_EQ(Rows({"A|| [x]", "C||"}), listRows()) << "Space ticks the focused row";
    respond(answer(IDOK, "保存", "文件保存！"));
    pressKey(listView, 'S', true);
    EXPECT_EQ(2u, readFileBytes(dir.path("book.ctb")).size() / 72);

    pressKey(listView, 'F', true);
    EXPECT_EQ(searchBox, GetFocus());
    respond(answer(IDOK, "保存", "文件保存！"));
    pressKey(searchBox, 'S', true);
    EXPECT_EQ(searchBox, GetFocus()) << "and in the search box, where it was";
    SetWindowTextA(searchBox, "C");
    pressKey(searchBox, VK_TAB);
    EXPECT_EQ(listView, GetFocus());
    pressKey(listView, VK_TAB);
    EXPECT_EQ(searchBox, GetFocus()) << "and back: of two stops, either way is the other";
    pressKey(searchBox, VK_ESCAPE);
    EXPECT_EQ("", windowText(searchBox));
    EXPECT_EQ(2u, listRows().size());
    respond(answer(IDNO, "新建", "新建文件将会清除为保存的数据，继续请点击“是”"));
    pressKey(searchBox, 'N', true);
}

// Escape closes a dialog as its cancel button does, where the dialog has one; the contact
// dialog and help, which have none, stay open.
TEST_F(CommandsTest, EscapeClosesTheDialogsThatCanBeCancelled)
{
    auto pressEscape = [](bool closes) {
        return [closes](HWND dialog) {
            // What the dialog's own loop does with the key pressed in its first control.
            MSG key = {GetNextDlgTabItem(dialog, nullptr, FALSE), WM_KEYDOWN, VK_ESCAPE, 1, 0, {0, 0}};
            EXPECT_TRUE(IsDialogMessageA(dialog, &key));
            EXPECT_EQ(closes, !IsWindowVisible(dialog)) << windowText(dialog);
            if (!closes)
                SendMessageA(dialog, WM_COMMAND, IDC_CONTACT_CANCEL, 0);
        };
    };
    respond(pressEscape(true));
    runCommand(IDM_EXPORT_TXT);
    respond(pressEscape(true));
    EXPECT_FALSE(chooseFolder("选择"));
    respond(pressEscape(false));
    runCommand(IDM_ITEM_ADD);
}

// A book opened from Explorer opens as Open opens it; a book the program refuses leaves an
// empty new book, with the same message as Open.
TEST_F(CommandsTest, BooksOpenFromTheCommandLine)
{
    TempDir dir;
    addContact("张三", "1");
    std::string book = dir.path("") + "通讯录 (1).ctb"; // Chinese past the file system library
    ASSERT_TRUE(saveBook(book.c_str()));
    clearContacts();
    openCommandLineBook(("\"" + book + "\"").c_str());
    EXPECT_EQ(Rows({"张三|1|"}), listRows());
    EXPECT_EQ("Vostrelina v1.0 - \"" + book + "\"", windowText(window));
    writeFileBytes(dir.path("bad.ctb"), "no book");
    clearContacts();
    refreshContactView(SHOW_ALL);
    char message[600];
    formatLoadMessage(message, sizeof message, LOAD_BAD_MAGIC, dir.path("bad.ctb").c_str());
    respond(answer(IDOK, "错误", message));
    openCommandLineBook(dir.path("bad.ctb").c_str());
    EXPECT_EQ(Rows(), listRows());
    respond(answer(IDOK, "打开文件", "路径太长！"));
    openCommandLineBook(std::string(300, 'x').c_str());
    openCommandLineBook("  ");
    respond(answer(IDOK, "打开文件", "找不到文件：\n" + dir.path("gone.ctb")));
    openCommandLineBook(dir.path("gone.ctb").c_str());

    // A book named from the starting folder is the starting folder's, wherever the program
    // goes afterwards.
    char started[MAX_PATH];
    GetCurrentDirectoryA(sizeof started, started);
    SetCurrentDirectoryA(dir.path("").c_str());
    openCommandLineBook("\"通讯录 (1).ctb\"");
    SetCurrentDirectoryA(started);
    EXPECT_EQ("Vostrelina v1.0 - \"" + book + "\"", windowText(window));
}

// Files dropped on the window: a book opens, the other files import one after another (the
// CSV file through its column dialog), a folder imports its vCards, anything else is named.
TEST_F(CommandsTest, DroppedFilesOpenAndImport)
{
    EXPECT_TRUE(GetWindowLongPtrA(mainWindow, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) << "Explorer may drop";
    TempDir dir;
    addContact("旧", "0");
    ASSERT_TRUE(saveBook(dir.path("a.ctb").c_str()));
    writeFileBytes(dir.path("b.vcf"), "BEGIN:VCARD\r\nN:;Bob;;;\r\nTEL:2\r\nEND:VCARD\r\n");
    writeFileBytes(dir.path("c.txt"), "Cat 3\r\n");
    writeFileBytes(dir.path("d.csv"), "号码,姓名\r\n4,Dan\r\n");
    CreateDirectoryA(dir.path("cards").c_str(), nullptr);
    writeFileBytes(dir.path("cards\\e.vcf"), "BEGIN:VCARD\r\nFN:Eve\r\nEND:VCARD\r\n");
    writeFileBytes(dir.path("f.doc"), "doc");
    clearContacts();
    refreshContactView(SHOW_ALL);
    respond(pressButton(IDOK)); // the columns as the header names them
    respond(answer(IDOK, "打开文件", "不支持的文件格式：\n" + dir.path("f.doc")));
    dropFiles({dir.path("a.ctb"), dir.path("b.vcf"), dir.path("c.txt"), dir.path("d.csv"),
               dir.path("cards"), dir.path("f.doc")});
    EXPECT_EQ(Rows({"旧|0|", "Bob|2|", "Cat|3|", "Dan|4|", "Eve||"}), listRows());
    EXPECT_EQ("Vostrelina v1.0 - \"" + dir.path("a.ctb") + "\"", windowText(window));
}

// In a folder where files may be changed but not created, Save writes the book in place.
TEST_F(CommandsTest, SaveWritesInPlaceWhereNoNewFileCanBeMade)
{
    TempDir dir;
    addContact("旧的联系人", "13800000000", "会被覆盖的长备注");
    ASSERT_TRUE(saveBook(dir.path("book.ctb").c_str()));
    openBookFile(dir.path("book.ctb").c_str());
    removeContact(firstContact);
    addContact("张三", "1");
    refuseNewFiles(true);
    respond(answer(IDOK, "保存", "文件保存！"));
    runCommand(IDM_FILE_SAVE);
    refuseNewFiles(false);
    clearContacts();
    EXPECT_EQ(LOAD_OK, loadBook(dir.path("book.ctb").c_str()));
    EXPECT_EQ(Rows({"张三|1|"}), contactLines());
    EXPECT_EQ("book.ctb", dir.listing());
}

// What fails on the way is told: memory that runs out while adding or sorting (the list then
// as it was), and the files of an imported folder that could not be read.
TEST_F(CommandsTest, FailuresOnTheWayAreTold)
{
    respond(fillContact("张三", "1", "", IDC_CONTACT_OK));
    respond(answer(IDOK, "添加", "内存不足！"));
    failAllocationAt(1);
    runCommand(IDM_ITEM_ADD);
    failAllocationAt(0);
    addContacts("BA");
    respond(answer(IDYES, "按姓名排序", "联系人将按姓名的拼音重新排列，原来的顺序不能恢复。是否继续？"));
    respond(answer(IDOK, "按姓名排序", "内存不足！"));
    failAllocationAt(1);
    runCommand(IDM_ITEM_SORT_BY_NAME);
    failAllocationAt(0);
    EXPECT_EQ(Rows({"B||", "A||"}), listRows());

    TempDir dir;
    writeFileBytes(dir.path("good.vcf"), "BEGIN:VCARD\r\nFN:Good\r\nEND:VCARD\r\n");
    writeFileBytes(dir.path("picture.vcf"), "\x89PNG\r\n\x1a\n");
    respond(typeFolder(dir.path("")));
    respond(answer(IDOK, "批量导入vcf", "有1个vcf文件无法读取！"));
    runCommand(IDM_IMPORT_VCF_FOLDER);
    EXPECT_EQ(Rows({"B||", "A||", "Good||"}), listRows());
}
