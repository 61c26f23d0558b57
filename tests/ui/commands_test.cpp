// What the model run does not drive: double-clicks, the header, an edit of a contact freed
// meanwhile, the folder browser, Exit, sort and duplicates; dialogs and message boxes
// answered as a user would.
#include "tests/ui/ui_harness.h"

#include "resources/resource.h"
#include "shell/choosers.h"
#include "shell/contact_view.h"
#include "shell/list_view.h"
#include "shell/main_window.h"
#include "shell/toolbar.h"
#include "store/contact_list.h"

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
    EXPECT_EQ(0, chooseFolder("选择"));
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
}

TEST_F(TidyCommandsTest, RemoveDuplicatesCountsAsksAndRemoves)
{
    addContact("张三", "138");
    addContact("李四", "138");
    refreshContactView(SHOW_ALL);
    respond(answer(IDOK, "删除重复", "没有重复的联系人。"));
    runCommand(IDM_ITEM_REMOVE_DUPLICATES);
    addContact("张三", "+86 138", "同事");
    addContact("张三", "(138)");
    refreshContactView(SHOW_ALL);
    respond(answer(IDNO, "删除重复", "发现2个重复的联系人，是否删除？"));
    runCommand(IDM_ITEM_REMOVE_DUPLICATES);
    EXPECT_EQ(4, contactCount);
    respond(answer(IDYES, "删除重复", "发现2个重复的联系人，是否删除？"));
    runCommand(IDM_ITEM_REMOVE_DUPLICATES);
    EXPECT_EQ(Rows({"张三|138|同事", "李四|138|"}), listRows());
}
