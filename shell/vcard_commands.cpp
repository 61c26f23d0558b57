// The vCard commands: one file or a folder in, every contact into a folder or one file out.
#include "shell/vcard_commands.h"

#include "common/text.h"
#include "interchange/vcard_format.h"
#include "shell/choosers.h"
#include "shell/contact_view.h"
#include "shell/main_window.h"

static const char vcardFilter[] = "VCard(*.vcf)\0*.vcf\0";
static const char folderImportCaption[] = "批量导入vcf"; // the command's menu text

enum { EXPORT_MESSAGE_SIZE = 128, SEARCH_PATTERN_SIZE = PATH_SIZE + 8 };

void importVCardFileCommand()
{
    char path[PATH_SIZE] = "";
    if (!chooseFile(mainWindow, vcardFilter, "导入vcf", path, sizeof path, CHOOSER_OPEN,
                    ".vcf"))
        return;
    showImportResult(importVCard(path), "导入vcf", "无法读取vcf文件！");
}

// Imports every *.vcf file of chosenFolder, in the order the system lists them; false when
// the folder holds none.
static bool importFolderFiles()
{
    char pattern[SEARCH_PATTERN_SIZE];
    formatText(pattern, sizeof pattern, "%s\\*.vcf", chosenFolder);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    do {
        char path[SEARCH_PATTERN_SIZE + MAX_PATH];
        if (formatText(path, sizeof path, "%s\\%s", chosenFolder, found.cFileName) < PATH_SIZE)
            importVCard(path);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return true;
}

static bool isFolder(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder dialog takes any path; what it named is checked only here, with a word when it
// gives nothing to import.
void importVCardFolderCommand()
{
    if (chooseFolder("选择vcf文件所在目录") != 1)
        return;
    if (!isFolder(chosenFolder))
        MessageBoxA(mainWindow, "路径不存在！", folderImportCaption, MB_OK | MB_ICONWARNING);
    else if (!importFolderFiles())
        MessageBoxA(mainWindow, "文件夹中没有vcf文件！", folderImportCaption,
                    MB_OK | MB_ICONWARNING);
    refreshContactView(SHOW_ALL);
}

// False, after telling the user, when there is nothing to export.
static bool haveContacts()
{
    if (firstContact != nullptr)
        return true;
    MessageBoxA(mainWindow, "没有通讯录成员！", "生成vcf文件", MB_OK | MB_ICONWARNING);
    return false;
}

void exportVCardFolderCommand()
{
    if (!haveContacts() || chooseFolder("选择生成vcf文件所在目录") != 1)
        return;
    int failures = 0;
    if (exportVCardFolder(chosenFolder, &failures)) {
        MessageBoxA(mainWindow, "生成vcf文件执行完毕！", "生成vcf", MB_OK | MB_ICONINFORMATION);
        return;
    }
    char message[EXPORT_MESSAGE_SIZE];
    formatText(message, sizeof message, "生成vcf文件执行完毕，但有%d个联系人的文件无法生成！",
               failures);
    MessageBoxA(mainWindow, message, "生成vcf", MB_OK | MB_ICONWARNING);
}

void exportVCardFileCommand()
{
    if (!haveContacts())
        return;
    char path[PATH_SIZE] = "";
    if (!chooseFile(mainWindow, vcardFilter, "生成vcf文件", path, sizeof path, CHOOSER_SAVE,
                    ".vcf"))
        return;
    if (exportVCardList(path))
        MessageBoxA(mainWindow, "生成vcf文件执行完毕！", "生成vcf", MB_OK | MB_ICONINFORMATION);
    else
        MessageBoxA(mainWindow, "生成vcf文件失败！", "生成vcf", MB_OK | MB_ICONWARNING);
}
