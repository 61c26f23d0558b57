// New, Open, Save, Save as and Exit. Nothing tracks unsaved changes: New warns in general
// words, Open and Exit discard the list without a question.
#include "shell/file_commands.h"

#include "bookfile/book_file.h"
#include "common/text.h"
#include "shell/choosers.h"
#include "shell/contact_view.h"
#include "shell/main_window.h"
#include "store/contact_list.h"

static const char bookFilter[] = "通讯录文件(*.ctb)\0*.ctb\0";

enum { MESSAGE_SIZE = 640 };

void newBook()
{
    if (MessageBoxA(mainWindow, "新建文件将会清除为保存的数据，继续请点击“是”", "新建",
                    MB_ICONINFORMATION | MB_YESNO) != IDYES)
        return;
    currentPath[0] = '\0';
    clearContacts();
    refreshContactView(1);
    updateTitle();
}

// Asks for a book file; on a choice it becomes currentPath. Non-zero when chosen.
static int chooseBookPath(const char *title, int mode)
{
    char path[PATH_SIZE] = "";
    if (!chooseFile(mainWindow, bookFilter, title, path, sizeof path, mode, ".ctb"))
        return 0;
    copyText(currentPath, sizeof currentPath, path);
    return 1;
}

void openBook()
{
    if (!chooseBookPath("打开文件", CHOOSER_OPEN))
        return;
    clearContacts();
    int result = loadBook(currentPath);
    if (result != LOAD_OK) {
        char message[MESSAGE_SIZE];
        formatLoadMessage(message, sizeof message, result, currentPath);
        MessageBoxA(mainWindow, message, "错误", MB_OK | MB_ICONWARNING);
        clearContacts();
        currentPath[0] = '\0';
    }
    refreshContactView(0);
    updateTitle();
}

// Writes the list to currentPath and tells the user how it went.
static void writeCurrentPath()
{
    if (saveBook(currentPath)) {
        MessageBoxA(mainWindow, "文件保存！", "保存", MB_OK | MB_ICONINFORMATION);
        return;
    }
    char message[MESSAGE_SIZE];
    formatText(message, sizeof message, "%s\n\n%s",
               "文件保存失败！\n请检查您的路径名是否正确或者磁盘空间是否充足。", currentPath);
    MessageBoxA(mainWindow, message, "保存", MB_OK | MB_ICONWARNING);
}

void saveCurrentBook()
{
    if (currentPath[0] == '\0' && !chooseBookPath("新建文件", CHOOSER_SAVE)) {
        updateTitle();
        return;
    }
    writeCurrentPath();
    updateTitle();
}

void saveBookAs()
{
    if (!chooseBookPath("另存为...", CHOOSER_SAVE))
        return;
    writeCurrentPath();
    updateTitle();
}

void exitProgram()
{
    PostQuitMessage(0);
}
