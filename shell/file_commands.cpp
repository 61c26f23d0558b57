// New, Open, Save, Save as and Exit, and the files Explorer hands over. Nothing tracks
// unsaved changes: New warns in general words, Open (of a file that loads) and Exit discard
// the list without a question.
#include "shell/file_commands.h"

#include "bookfile/book_file.h"
#include "common/platform.h"
#include "common/text.h"
#include "interchange/exchange_formats.h"
#include "shell/app.h"
#include "shell/choosers.h"
#include "shell/contact_view.h"
#include "shell/csv_commands.h"
#include "shell/main_window.h"
#include "shell/system_libraries.h"
#include "shell/text_commands.h"
#include "shell/vcard_commands.h"
#include "store/contact_list.h"

#include <cstring>

static const char bookFilter[] = "通讯录文件(*.ctb)\0*.ctb\0";
static const char openTitle[] = "打开文件";

enum { MESSAGE_SIZE = 640, COMMAND_LINE_SIZE = 2 * PATH_SIZE };

void newBook()
{
    if (MessageBoxA(mainWindow, "新建文件将会清除为保存的数据，继续请点击“是”", "新建",
                    MB_ICONINFORMATION | MB_YESNO) != IDYES)
        return;
    currentPath[0] = '\0';
    clearContacts();
    refreshContactView(SHOW_MATCHES);
    showRow(-1);
    updateTitle();
}

static bool chooseBookPath(const char *title, char path[PATH_SIZE], int mode)
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
    showRow(-1);
    updateTitle();
}

void openBook()
{
    char path[PATH_SIZE] = "";
    if (chooseBookPath(openTitle, path, CHOOSER_OPEN))
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

void openCommandLineBook(const char *commandLine)
{
    char path[COMMAND_LINE_SIZE];
    copyField(path, sizeof path, commandLine);
    size_t length = strlen(path);
    if (length >= 2 && path[0] == '"' && path[length - 1] == '"') {
        memmove(path, path + 1, length - 2);
        path[length - 2] = '\0';
    }
    if (path[0] == '\0')
        return;
    // The book is saved to where it was opened from, whatever folder a chooser moves the
    // program to meanwhile: a path relative to the starting folder is made whole first.
    char fullPath[PATH_SIZE];
    DWORD fullLength = GetFullPathNameA(path, sizeof fullPath, fullPath, nullptr);
    char message[MESSAGE_SIZE];
    if (fullLength == 0 || fullLength >= sizeof fullPath) {
        MessageBoxA(mainWindow, "路径太长！", openTitle, MB_OK | MB_ICONWARNING);
    } else if (platformPathKind(fullPath) != PATH_FILE) {
        formatText(message, sizeof message, "找不到文件：\n%s", fullPath);
        MessageBoxA(mainWindow, message, openTitle, MB_OK | MB_ICONWARNING);
    } else {
        openBookFile(fullPath);
    }
}

// How each kind of file is taken when it is dropped.
static const struct {
    const FileFormat *format;
    void (*open)(const char *path);
} droppedFileKinds[] = {
    {&bookFileFormat, openBookFile},
    {&textFormat, importTextFile},
    {&vcardFormat, importVCardFile},
    {&csvFormat, importCsvFile},
    {&xlsxFormat, importXlsxFile},
    {&xlsFormat, importXlsxFile},
};

static void openDroppedFile(const char *path)
{
    if (platformPathKind(path) == PATH_FOLDER) {
        importVCardFolder(path);
        return;
    }
    for (const auto &kind : droppedFileKinds) {
        if (findFormat(path, &kind.format, 1) != nullptr) {
            kind.open(path);
            return;
        }
    }
    char message[MESSAGE_SIZE];
    formatText(message, sizeof message, "不支持的文件格式：\n%s", path);
    MessageBoxA(mainWindow, message, openTitle, MB_OK | MB_ICONWARNING);
}

void openDroppedFiles(HDROP drop)
{
    UINT count = dragQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; i++) {
        char path[PATH_SIZE];
        if (dragQueryFile(drop, i, nullptr, 0) >= PATH_SIZE)
            MessageBoxA(mainWindow, "路径太长！", openTitle, MB_OK | MB_ICONWARNING);
        else if (dragQueryFile(drop, i, path, sizeof path) > 0)
            openDroppedFile(path);
    }
    dragFinish(drop);
}
