// Sorting and removing duplicates change the whole list at once and cannot be undone, so
// both ask first; afterwards the rows show the result under the same search.
#include "shell/tidy_commands.h"

#include "common/text.h"
#include "shell/app.h"
#include "shell/contact_view.h"
#include "store/contact_tidy.h"

enum { QUESTION_SIZE = 96 };

static const char sortCaption[] = "按姓名排序", duplicatesCaption[] = "删除重复";

void sortByNameCommand()
{
    if (MessageBoxA(mainWindow, "联系人将按姓名的拼音重新排列，原来的顺序不能恢复。是否继续？",
                    sortCaption, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (!sortContactsByName())
        MessageBoxA(mainWindow, outOfMemoryMessage, sortCaption, MB_OK | MB_ICONWARNING);
    refreshContactView(SHOW_MATCHES);
}

void removeDuplicatesCommand()
{
    int duplicates = countDuplicates();
    if (duplicates <= 0) {
        MessageBoxA(mainWindow, duplicates < 0 ? outOfMemoryMessage : "没有重复的联系人。", duplicatesCaption,
                    MB_OK | (duplicates < 0 ? MB_ICONWARNING : MB_ICONINFORMATION));
        return;
    }
    char question[QUESTION_SIZE];
    formatText(question, sizeof question, "发现%d个重复的联系人，是否删除？", duplicates);
    if (MessageBoxA(mainWindow, question, duplicatesCaption, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (removeDuplicates() < 0)
        MessageBoxA(mainWindow, outOfMemoryMessage, duplicatesCaption, MB_OK | MB_ICONWARNING);
    refreshContactView(SHOW_MATCHES);
}
