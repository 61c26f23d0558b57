// Sort by name and remove duplicates, through the 项目 menu.
#include "tests/ui/ui_harness.h"

#include "resources/resource.h"
#include "shell/contact_view.h"
#include "store/contact_list.h"

using Rows = std::vector<std::string>;
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
