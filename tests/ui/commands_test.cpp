// The file and item commands, driven through the menu and toolbar identifiers, with their
// dialogs and message boxes answered as a user would.
#include "tests/ui/ui_harness.h"

#include "bookfile/book_file.h"
#include "common/text.h"
#include "resources/resource.h"
#include "shell/choosers.h"
#include "shell/contact_dialog.h"
#include "shell/contact_view.h"
#include "shell/list_view.h"
#include "shell/main_window.h"
#include "shell/toolbar.h"
#include "store/contact_list.h"
#include "tests/support/temp_dir.h"

#include <commctrl.h>

using Rows = std::vector<std::string>;

class CommandsTest : public ProgramTest {
protected:
    void selectRow(int row)
    {
        LVITEMA item = {};
        item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(listView, LVM_SETITEMSTATE, row, (LPARAM)&item);
    }
    void addContacts(const char *names)
    {
        for (const char *name = names; *name != '\0'; name++) {
            char one[2] = {*name, '\0'};
            addContact(one);
        }
        refreshContactView(SHOW_ALL);
    }
    std::string order()
    {
        std::string names;
        for (const Contact *c = firstContact; c != nullptr; c = c->next)
            names += c->name;
        return names;
    }
    // Saves the current list as a book at path, then empties the list.
    void writeBook(const std::string &path)
    {
        ASSERT_EQ(1, saveBook(path.c_str()));
        clearContacts();
        refreshContactView(SHOW_ALL);
    }
    TempDir dir;
};

// Commands that open the system's file chooser or folder browser.
using SystemChooserTest = CommandsTest;

TEST_F(CommandsTest, EnterAndEscapeLeaveTheContactDialogOpen)
{
    respond([](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_CONTACT_NAME, "A");
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(IsWindowVisible(dialog)) << "Enter and Esc must not close the dialog";
        SendMessageA(dialog, WM_COMMAND, IDC_CONTACT_OK, 0);
    });
    runCommand(IDM_ITEM_ADD);
    EXPECT_EQ(Rows({"A||"}), listRows());
}

// Nothing typed is cut: typing stops at a field's size, and OK with a longer text (set by a
// program here) names the first field that is too long and keeps the dialog open.
TEST_F(CommandsTest, ContactDialogRefusesTextsLongerThanTheirFields)
{
    const struct {
        int box;
        const char *tooLong, *fits, *warning;
    } cases[] = {
        {IDC_CONTACT_NAME, "ab张三李四王", "ab张三李四", "姓名太长：最多11个字节。"},
        {IDC_CONTACT_NUMBER, "12345678901234567890", "1234567890123456789",
         "号码太长：最多19个字节。"},
        {IDC_CONTACT_REMARK, "一二三四五六七八九十一二三四五六七八九十",
         "一二三四五六七八九十一二三四五六七八九x", "备注太长：最多39个字节。"},
    };
    respond([&cases](HWND dialog) {
        HWND number = GetDlgItem(dialog, IDC_CONTACT_NUMBER);
        for (char digit : std::string(25, '7'))
            SendMessageA(number, WM_CHAR, digit, 0);
        EXPECT_EQ(std::string(19, '7'), windowText(number)) << "typing stops at 19 bytes";
        for (const auto &c : cases)
            SetDlgItemTextA(dialog, c.box, c.tooLong);
        for (const auto &c : cases) {
            SendMessageA(dialog, WM_COMMAND, IDC_CONTACT_OK, 0); // the warning is answered
            EXPECT_EQ(c.tooLong, windowText(GetDlgItem(dialog, c.box))) << "nothing is cut";
            EXPECT_FALSE(IsWindowEnabled(mainWindow)) << "the warning leaves the window locked";
            SetDlgItemTextA(dialog, c.box, c.fits);
        }
        SendMessageA(dialog, WM_COMMAND, IDC_CONTACT_OK, 0);
    });
    for (size_t i = 0; i < countOf(cases); i++)
        respond(pressButton(IDOK));
    runCommand(IDM_ITEM_ADD);
    ASSERT_EQ(1, contactCount);
    EXPECT_STREQ(cases[0].fits, firstContact->name);
    EXPECT_STREQ(cases[1].fits, firstContact->number);
    EXPECT_STREQ(cases[2].fits, firstContact->remark);
    std::vector<SeenWindow> seen = takeSeen();
    ASSERT_EQ(4u, seen.size());
    for (size_t i = 0; i < countOf(cases); i++) {
        EXPECT_EQ("添加", seen[i + 1].caption);
        EXPECT_EQ(cases[i].warning, seen[i + 1].text);
    }
}

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
    EXPECT_EQ("XYZ", order());
    EXPECT_EQ(2u, takeSeen().size());
}

TEST_F(CommandsTest, DeleteAsksAndRemovesTheSelectedContact)
{
    addContacts("ABC");
    typeSearch("B");
    runCommand(IDM_ITEM_DELETE);
    std::vector<SeenWindow> seen = takeSeen();
    ASSERT_EQ(1u, seen.size()) << "without a selection the user is told to select";
    EXPECT_EQ("注意", seen[0].caption);
    EXPECT_EQ("请选择一项！", seen[0].text);

    selectRow(0);
    respond(pressButton(IDNO));
    runCommand(IDT_ITEM_DELETE);
    EXPECT_EQ("ABC", order());
    selectRow(0);
    respond(pressButton(IDYES));
    runCommand(IDM_ITEM_DELETE);
    EXPECT_EQ("AC", order());
    EXPECT_EQ(Rows({}), listRows()) << "the filter stays";
    seen = takeSeen();
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ("删除", seen[1].caption);
    EXPECT_EQ("你选择删除项目：\n姓名：B\n点击“是”确认删除。", seen[1].text);
}

TEST_F(CommandsTest, DeleteCheckedRemovesTickedContactsTheSearchHides)
{
    addContacts("ABCD");
    respond(pressButton(IDOK));
    runCommand(IDM_ITEM_DELETE_CHECKED);
    std::vector<SeenWindow> seen = takeSeen();
    ASSERT_EQ(1u, seen.size()) << "with nothing ticked nothing is asked";
    EXPECT_EQ("没有选中的联系人！", seen[0].text);
    setRowTicked(0, true);
    setRowTicked(2, true);
    typeSearch("B");
    respond(pressButton(IDNO));
    runCommand(IDM_ITEM_DELETE_CHECKED);
    EXPECT_EQ("ABCD", order());
    respond(pressButton(IDYES));
    respond(pressButton(IDOK));
    runCommand(IDT_ITEM_DELETE_CHECKED);
    EXPECT_EQ("BD", order());
    EXPECT_EQ(Rows({"B||"}), listRows());
    seen = takeSeen();
    ASSERT_EQ(3u, seen.size());
    EXPECT_EQ("删除所有选中条目，点击“是”确认删除操作。", seen[1].text);
    EXPECT_EQ("选中项已经删除完毕！", seen[2].text);
}

struct MoveCase {
    int command;
    int row;
    const char *order;
    int selected;
};

TEST_F(CommandsTest, MovesFollowTheSelectedContact)
{
    const MoveCase cases[] = {
        {IDM_ITEM_MOVE_UP, 0, "ABCDE", 0},   {IDM_ITEM_MOVE_UP, 3, "ABDCE", 2},
        {IDT_ITEM_MOVE_UP, 4, "ABCED", 3},   {IDM_ITEM_MOVE_DOWN, 4, "ABCDE", 4},
        {IDM_ITEM_MOVE_DOWN, 2, "ABDCE", 3}, {IDT_ITEM_MOVE_DOWN, 0, "BACDE", 1},
    };
    for (const MoveCase &c : cases) {
        clearContacts();
        addContacts("ABCDE");
        selectRow(c.row);
        runCommand(c.command);
        EXPECT_EQ(c.order, order()) << c.command << " on row " << c.row;
        EXPECT_EQ(c.selected, firstSelectedRow(listView)) << c.command << " on row " << c.row;
    }
}

TEST_F(CommandsTest, NewAnsweredNoKeepsTheBookAndYesEmptiesIt)
{
    addContacts("AB");
    copyText(currentPath, sizeof currentPath, "C:\\book.ctb");
    updateTitle();
    typeSearch("A");
    respond(pressButton(IDNO));
    runCommand(IDM_FILE_NEW);
    EXPECT_EQ(2, contactCount);
    EXPECT_EQ("Vostrelina v1.0 - \"C:\\book.ctb\"", windowText(window));
    respond(pressButton(IDYES));
    runCommand(IDT_FILE_NEW);
    EXPECT_EQ(0, contactCount);
    EXPECT_EQ(Rows({}), listRows());
    EXPECT_EQ("Vostrelina v1.0 - 新文件", windowText(window));
    EXPECT_EQ("A", windowText(searchBox)) << "the search box keeps its text";
    std::vector<SeenWindow> seen = takeSeen();
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ("新建", seen[0].caption);
    EXPECT_EQ("新建文件将会清除为保存的数据，继续请点击“是”", seen[0].text);
}

TEST_F(SystemChooserTest, OpenCancelledChangesNothing)
{
    addContacts("A");
    respond(cancel());
    runCommand(IDT_FILE_OPEN);
    EXPECT_EQ(Rows({"A||"}), listRows());
    EXPECT_EQ("Vostrelina v1.0 - 新文件", windowText(window));
}

TEST_F(SystemChooserTest, OpenOfARefusedFileReportsItAndKeepsTheBook)
{
    struct {
        std::string bytes;
        const char *reason;
    } cases[] = {
        {"garbage file", "文件不是正确的格式，程序终止读取。(2)"},
        {std::string("\x33\x0A\x03\x00\x01\x00\x00\x00\xFF\xFF\xFF\xFF", 12), "(3)"},
        {std::string("\x33\x0A\x03\x00\x09\x00\x00\x00\x00\x00\x00\x00", 12), "(4)"},
        {std::string("\x33\x0A\x03\x00\x01\x00\x00\x00\x02\x00\x00\x00", 12) +
             std::string(72, 'a'),
         "文件数据与文件头不一致，文件不完整。"},
    };
    addContacts("AB");
    setRowTicked(1, true);
    typeSearch("B");
    copyText(currentPath, sizeof currentPath, "C:\\book.ctb");
    updateTitle();
    for (const auto &c : cases) {
        std::string path = dir.path("bad.ctb");
        writeFileBytes(path, c.bytes);
        respond(chooseFileNamed(path));
        respond(pressButton(IDOK));
        runCommand(IDM_FILE_OPEN);
        std::vector<SeenWindow> seen = takeSeen();
        ASSERT_EQ(2u, seen.size());
        EXPECT_EQ("错误", seen[1].caption);
        EXPECT_EQ(0u, seen[1].text.find("文件路径：" + path + "\n\n")) << seen[1].text;
        EXPECT_NE(std::string::npos, seen[1].text.find(c.reason)) << seen[1].text;
        EXPECT_EQ("A:-- B:cs", contactFlags()) << "the book, its ticks and rows stay";
        EXPECT_EQ(Rows({"B|| [x]"}), listRows());
        EXPECT_EQ("Vostrelina v1.0 - \"C:\\book.ctb\"", windowText(window));
        EXPECT_STREQ("C:\\book.ctb", currentPath);
    }
}

// The system takes a path of 258 bytes, the program keeps at most 255; a path of 252 bytes
// fits only without its extension. (Longer than the system's own limit, Wine's chooser
// itself crashes.)
TEST_F(SystemChooserTest, PathTooLongForTheProgramIsRefusedWithAMessage)
{
    addContacts("AB");
    std::string folder = dir.path("");
    for (const std::string &path : {folder + std::string(258 - folder.size() - 4, 'a') + ".ctb",
                                    folder + std::string(252 - folder.size(), 'b')}) {
        respond(chooseFileNamed(path));
        respond(pressButton(IDOK));
        runCommand(IDM_FILE_SAVE_AS);
        std::vector<SeenWindow> seen = takeSeen();
        ASSERT_EQ(2u, seen.size()) << path.size();
        EXPECT_EQ("另存为...", seen[1].caption);
        EXPECT_EQ("路径太长！", seen[1].text);
    }
    EXPECT_EQ("", dir.listing()) << "nothing is written";
    EXPECT_EQ("Vostrelina v1.0 - 新文件", windowText(window));
}

// Only the file name decides whether the extension is added: not a full stop in a folder.
TEST_F(SystemChooserTest, SaveOfANewBookAsksForAFileAndAddsTheExtension)
{
    addContacts("AB");
    CreateDirectoryA(dir.path("wang.wei").c_str(), nullptr);
    respond([this](HWND chooser) {
        EXPECT_EQ("新建文件", windowText(chooser));
        chooseFileNamed(dir.path("wang.wei") + "\\通讯录")(chooser);
    });
    respond(pressButton(IDOK));
    runCommand(IDT_FILE_SAVE);
    std::string path = dir.path("wang.wei") + "\\通讯录.ctb";
    EXPECT_EQ("Vostrelina v1.0 - \"" + path + "\"", windowText(window));
    std::vector<SeenWindow> seen = takeSeen();
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ("保存", seen[1].caption);
    EXPECT_EQ("文件保存！", seen[1].text);
    clearContacts();
    EXPECT_EQ(LOAD_OK, loadBook(path.c_str()));
    EXPECT_EQ(2, contactCount);
}

TEST_F(SystemChooserTest, SaveCancelledWritesNothing)
{
    addContacts("A");
    respond(cancel());
    runCommand(IDM_FILE_SAVE);
    EXPECT_EQ("", dir.listing());
    EXPECT_EQ("Vostrelina v1.0 - 新文件", windowText(window));
}

TEST_F(CommandsTest, FailedSaveWarnsAndKeepsThePreviousFile)
{
    std::string path = dir.path("missing-folder\\book.ctb");
    copyText(currentPath, sizeof currentPath, path.c_str());
    addContacts("A");
    respond(pressButton(IDOK));
    runCommand(IDM_FILE_SAVE);
    std::vector<SeenWindow> seen = takeSeen();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("保存", seen[0].caption);
    EXPECT_EQ("文件保存失败！\n请检查您的路径名是否正确或者磁盘空间是否充足。\n\n" + path,
              seen[0].text);
}

// Replacing a file takes a Yes: the system asks about the name as typed, the program about a
// name its extension completed. Only a file that was written becomes the book's file.
TEST_F(SystemChooserTest, SaveAsAsksBeforeReplacingAFileAndKeepsTheNameOfAFailedSave)
{
    std::string other = dir.path("other.ctb");
    addContacts("XY");
    writeBook(other);
    const std::string before = readFileBytes(other);
    addContacts("AB");
    respond(chooseFileNamed(dir.path("other")));
    respond(pressButton(IDNO));
    runCommand(IDM_FILE_SAVE_AS);
    // Held open without sharing, as another program may hold it: the save fails.
    HANDLE held = CreateFileA(other.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    respond(chooseFileNamed(other));
    respond(pressButton(IDYES));
    respond(pressButton(IDOK));
    runCommand(IDM_FILE_SAVE_AS);
    CloseHandle(held);
    EXPECT_EQ(before, readFileBytes(other));
    EXPECT_EQ("Vostrelina v1.0 - 新文件", windowText(window));
    std::vector<SeenWindow> seen = takeSeen();
    ASSERT_EQ(5u, seen.size());
    EXPECT_EQ("另存为...", seen[1].caption);
    EXPECT_EQ("文件已存在，是否替换？", seen[1].text);
    EXPECT_EQ(0u, seen[4].text.find("文件保存失败！")) << seen[4].text;

    respond(chooseFileNamed(dir.path("other")));
    respond(pressButton(IDYES));
    respond(pressButton(IDOK));
    runCommand(IDM_FILE_SAVE_AS);
    EXPECT_EQ(12u + 2 * 72, readFileBytes(other).size());
    EXPECT_EQ("Vostrelina v1.0 - \"" + other + "\"", windowText(window));
    EXPECT_EQ("文件保存！", takeSeen().back().text);
}

// A click on a check box does not select its row, so a double-click edits the row it was
// on, not the selected one; on the check box itself it only ticks.
TEST_F(CommandsTest, DoubleClickEditsTheRowItWasOn)
{
    addContacts("ABC");
    selectRow(0);
    respond([](HWND dialog) {
        EXPECT_EQ("编辑", windowText(dialog));
        EXPECT_EQ("B", windowText(GetDlgItem(dialog, IDC_CONTACT_NAME)));
        SendMessageA(dialog, WM_COMMAND, IDC_CONTACT_CANCEL, 0);
    });
    SendMessageA(listView, WM_LBUTTONDBLCLK, MK_LBUTTON, pointOnRow(1, LVHT_ONITEMLABEL));
    EXPECT_EQ(1u, takeSeen().size());
    selectRow(0);
    LPARAM box = pointOnRow(2, LVHT_ONITEMSTATEICON);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        SendMessageA(listView, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, box);
    EXPECT_EQ("A:-s B:-s C:cs", contactFlags());
    RECT last;
    last.left = LVIR_BOUNDS;
    SendMessageA(listView, LVM_GETITEMRECT, 2, (LPARAM)&last);
    SendMessageA(listView, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, last.bottom + 40));
    EXPECT_TRUE(takeSeen().empty()) << "below the rows nothing opens";
}

TEST_F(CommandsTest, GrayedSettingsAndNotificationsRunNothing)
{
    addContacts("A");
    runCommand(IDM_SETTINGS);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_ITEM_ADD, 1), 0); // accelerator code
    EXPECT_TRUE(takeSeen().empty());
    EXPECT_EQ(1, contactCount);
}

TEST_F(CommandsTest, ExitEndsTheProgramWithoutAQuestion)
{
    addContacts("A");
    runCommand(IDM_FILE_EXIT);
    EXPECT_EQ(0, runLoopToEnd());
    EXPECT_TRUE(takeSeen().empty());
    DestroyWindow(window);
}

using FolderDialogTest = ProgramTest;

TEST_F(FolderDialogTest, TrimsThePathAndRefusesABlankOne)
{
    respond([](HWND dialog) {
        EXPECT_EQ("导出到", windowText(dialog));
        SetDlgItemTextA(dialog, IDC_FOLDER_PATH, "   ");
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(IsWindowVisible(dialog)) << "a blank path keeps the dialog open";
        SetDlgItemTextA(dialog, IDC_FOLDER_PATH, "  C:\\通讯录  ");
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(1, chooseFolder("导出到"));
    EXPECT_STREQ("C:\\通讯录", chosenFolder);
    respond(cancel());
    EXPECT_EQ(0, chooseFolder("导出到"));
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
    EXPECT_EQ(0, chooseFolder("选择"));
}
