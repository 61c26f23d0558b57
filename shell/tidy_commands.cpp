// Sorting and removing duplicates change the whole list at once and cannot be undone, so
// both ask first; afterwards the rows show the result under the same search.
#include "shell/tidy_commands.h"

#include "common/text.h"
#include "shell/contact_view.h"
#include "shell/main_window.h"
#include "store/contact_tidy.h"

enum { QUESTION_SIZE = 96 };

void sortByNameCommand()
{
    if (MessageBoxA(mainWindow, "联系人将按姓名的拼音重新排列，原来的顺序不能恢复。是否继续？",
                    "按姓名排序", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    sortContactsByName();
    refreshContactView(SHOW_MATCHES);
}

void removeDuplicatesCommand()
{
    int duplicates = findDuplicates(false);
    if (duplicates == 0) {
        MessageBoxA(mainWindow, "没有重复的联系人。", "删除重复", MB_OK | MB_ICONINFORMATION);
        return;
    }
    char question[QUESTION_SIZE];
    formatText(question, sizeof question, "发现%d个重复的联系人，是否删除？", duplicates);
    if (duplicates < 0 ||
        MessageBoxA(mainWindow, question, "删除重复", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    findDuplicates(true);
    refreshContactView(SHOW_MATCHES);
}
