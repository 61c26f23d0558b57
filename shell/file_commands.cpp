// New, Open, Save, Save as and Exit. Nothing tracks unsaved changes: New warns in general
// words, Open (of a file that loads) and Exit discard the list without a question.
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
    refreshContactView(SHOW_MATCHES);
    updateTitle();
}

static int chooseBookPath(const char *title, char path[PATH_SIZE], int mode)
{
    return chooseFile(mainWindow, bookFilter, title, path, PATH_SIZE, mode, ".ctb");
}

// The file is read into an empty list while the book's own contacts wait aside: only a file
// that loads replaces them, and a refused one leaves the book, its ticks, rows and caption as
// they were.
void openBookFile(const char *path)
{
    ContactChain held = takeContacts();
    LoadResult result = loadBook(path);
    if (result != LOAD_OK) {
        putBackContacts(held);
        char message[MESSAGE_SIZE];
        formatLoadMessage(message, sizeof message, result, path);
        MessageBoxA(mainWindow, message, "错误", MB_OK | MB_ICONWARNING);
        return;
    }
    freeContacts(held);
    copyText(currentPath, sizeof currentPath, path);
    refreshContactView(SHOW_ALL);
    updateTitle();
}

void openBook()
{
    char path[PATH_SIZE] = "";
    if (chooseBookPath("打开文件", path, CHOOSER_OPEN))
        openBookFile(path);
}

// Writes the list to path and tells the user how it went. Only a file that was written
// becomes the book's file: a failed save leaves the path and the caption as they were.
static void saveTo(const char *path)
{
    if (!saveBook(path)) {
        char message[MESSAGE_SIZE];
        formatText(message, sizeof message, "%s\n\n%s",
                   "文件保存失败！\n请检查您的路径名是否正确或者磁盘空间是否充足。", path);
        MessageBoxA(mainWindow, message, "保存", MB_OK | MB_ICONWARNING);
        return;
    }
    copyText(currentPath, sizeof currentPath, path);
    updateTitle();
    MessageBoxA(mainWindow, "文件保存！", "保存", MB_OK | MB_ICONINFORMATION);
}

void saveCurrentBook()
{
    char path[PATH_SIZE] = "";
    if (currentPath[0] != '\0')
        saveTo(currentPath);
    else if (chooseBookPath("新建文件", path, CHOOSER_SAVE))
        saveTo(path);
}

void saveBookAs()
{
    char path[PATH_SIZE] = "";
    if (chooseBookPath("另存为...", path, CHOOSER_SAVE))
        saveTo(path);
}

void exitProgram()
{
    PostQuitMessage(0);
}
