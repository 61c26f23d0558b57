// The vCard commands: one file or a folder in, every contact into a folder or one file out.
#include "shell/vcard_commands.h"

#include "common/platform.h"
#include "common/text.h"
#include "interchange/exchange_formats.h"
#include "interchange/vcard_format.h"
#include "shell/app.h"
#include "shell/choosers.h"
#include "shell/contact_view.h"

static const char vcardFilter[] = "VCard(*.vcf)\0*.vcf\0";
static const char folderImportCaption[] = "批量导入vcf"; // the command's menu text

enum { MESSAGE_SIZE = 128, SEARCH_PATTERN_SIZE = PATH_SIZE + 8 };

void importVCardFile(const char *path)
{
    int before = contactCount;
    showImportResult(vcardFormat.read(path), before, "导入vcf", "无法读取vcf文件！");
}

void importVCardFileCommand()
{
    char path[PATH_SIZE] = "";
    if (chooseFile(mainWindow, vcardFilter, "导入vcf", path, sizeof path, CHOOSER_OPEN, ".vcf"))
        importVCardFile(path);
}

struct FolderImport {
    int files;      // *.vcf files found
    int unreadable; // of them, those that could not be read
    bool outOfMemory;
};

// Imports every *.vcf file of folder, in the order the system lists them.
static FolderImport importFolderFiles(const char *folder)
{
    FolderImport result = {};
    char pattern[SEARCH_PATTERN_SIZE];
    formatText(pattern, sizeof pattern, "%s\\*.vcf", folder);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return result;
    do {
        char path[SEARCH_PATTERN_SIZE + MAX_PATH];
        result.files++;
        int read = READ_CANNOT_OPEN;
        if (formatText(path, sizeof path, "%s\\%s", folder, found.cFileName) < PATH_SIZE)
            read = vcardFormat.read(path);
        result.unreadable += read == READ_CANNOT_OPEN;
        result.outOfMemory = read == READ_NO_MEMORY;
    } while (!result.outOfMemory && FindNextFileA(search, &found));
    FindClose(search);
    return result;
}

// The folder path is checked only here, with a word when it gives nothing to import, and a
// word on the files that could not be read when others could.
void importVCardFolder(const char *folder)
{
    int before = contactCount;
    FolderImport result = {};
    if (platformPathKind(folder) == PATH_FOLDER)
        result = importFolderFiles(folder);
    refreshContactView(SHOW_ALL);
    if (contactCount > before)
        showRow(before);
    char message[MESSAGE_SIZE];
    if (platformPathKind(folder) != PATH_FOLDER)
        copyText(message, sizeof message, "路径不存在！");
    else if (result.files == 0)
        copyText(message, sizeof message, "文件夹中没有vcf文件！");
    else if (result.outOfMemory)
        copyText(message, sizeof message, outOfMemoryMessage);
    else if (result.unreadable > 0)
        formatText(message, sizeof message, "有%d个vcf文件无法读取！", result.unreadable);
    else
        return;
    MessageBoxA(mainWindow, message, folderImportCaption, MB_OK | MB_ICONWARNING);
}

void importVCardFolderCommand()
{
    if (chooseFolder("选择vcf文件所在目录"))
        importVCardFolder(chosenFolder);
}

// False, after telling the user, when there is nothing to export.
static bool warnWhenNoContacts()
{
    if (firstContact != nullptr)
        return true;
    MessageBoxA(mainWindow, "没有通讯录成员！", "生成vcf文件", MB_OK | MB_ICONWARNING);
    return false;
}

void exportVCardFolderCommand()
{
    if (!warnWhenNoContacts() || !chooseFolder("选择生成vcf文件所在目录"))
        return;
    int failures = 0;
    if (exportVCardFolder(chosenFolder, &failures)) {
        MessageBoxA(mainWindow, "生成vcf文件执行完毕！", "生成vcf", MB_OK | MB_ICONINFORMATION);
        return;
    }
    char message[MESSAGE_SIZE];
    formatText(message, sizeof message, "生成vcf文件执行完毕，但有%d个联系人的文件无法生成！",
               failures);
    MessageBoxA(mainWindow, message, "生成vcf", MB_OK | MB_ICONWARNING);
}

void exportVCardFileCommand()
{
    if (!warnWhenNoContacts())
        return;
    char path[PATH_SIZE] = "";
    if (!chooseFile(mainWindow, vcardFilter, "生成vcf文件", path, sizeof path, CHOOSER_SAVE,
                    ".vcf"))
        return;
    ExportOptions options = {};
    if (vcardFormat.write(path, &options))
        MessageBoxA(mainWindow, "生成vcf文件执行完毕！", "生成vcf", MB_OK | MB_ICONINFORMATION);
    else
        MessageBoxA(mainWindow, "生成vcf文件失败！", "生成vcf", MB_OK | MB_ICONWARNING);
}
