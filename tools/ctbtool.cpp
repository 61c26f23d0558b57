// ctbtool commands. Every text leaves the tool as UTF-8, whatever the ANSI code page holds.
#include "tools/ctbtool.h"

#include "bookfile/book_file.h"
#include "common/text.h"
#include "interchange/text_encoding.h"
#include "interchange/vcard_format.h"
#include "store/contact_list.h"
#include "store/quick_search.h"

#include <cstring>
#include <sys/stat.h>

static const char usageText[] =
    "用法：\n"
    "  ctbtool dump 文件.ctb          每行输出一个联系人：姓名<TAB>号码<TAB>备注（UTF-8）\n"
    "  ctbtool find 关键字 文件.ctb   同上，只输出快速搜索显示的联系人\n"
    "  ctbtool convert 输入 输出      转换：输出为 .ctb、.vcf 文件或已有的目录（每人一个vcf）\n"
    "输入可以是 .ctb 或 .vcf 文件。\n";

static void printAnsi(FILE *stream, const char *ansi)
{
    char utf8[1024];
    ansiToUtf8(ansi, utf8, sizeof utf8);
    fputs(utf8, stream);
}

static bool hasExtension(const char *path, const char *extension)
{
    size_t pathLength = strlen(path);
    size_t extensionLength = strlen(extension);
    if (pathLength < extensionLength)
        return false;
    const char *tail = path + pathLength - extensionLength;
    for (size_t i = 0; i < extensionLength; i++) {
        char c = tail[i];
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
        if (c != extension[i])
            return false;
    }
    return true;
}

static int refuse(FILE *err, const char *message, const char *path, int code)
{
    printAnsi(err, message);
    printAnsi(err, path);
    fputs("\n", err);
    return code;
}

// Reads path into the (empty) contact list; TOOL_OK or the exit code of the refusal.
static int readContacts(const char *path, FILE *err)
{
    if (hasExtension(path, ".vcf")) {
        FILE *probe = fopen(path, "rb");
        if (probe == nullptr)
            return refuse(err, "无法打开文件：", path, TOOL_CANNOT_OPEN);
        fclose(probe);
        importVCard(path);
        return TOOL_OK;
    }
    if (!hasExtension(path, ".ctb"))
        return refuse(err, "不支持的文件格式：", path, TOOL_USAGE);
    int result = loadBook(path);
    if (result == LOAD_OK)
        return TOOL_OK;
    char message[600];
    formatLoadMessage(message, sizeof message, result, path);
    printAnsi(err, message);
    fputs("\n", err);
    return result == LOAD_CANNOT_OPEN ? TOOL_CANNOT_OPEN : result;
}

// Prints the contacts the quick search shows for query (all of them for an empty one).
static void printContacts(FILE *out, const char *query)
{
    for (const Contact *record = firstContact; record != nullptr; record = record->next) {
        if (!contactMatchesQuery(record, query))
            continue;
        printAnsi(out, record->name);
        fputs("\t", out);
        printAnsi(out, record->number);
        fputs("\t", out);
        printAnsi(out, record->remark);
        fputs("\n", out);
    }
}

// Reads path and prints what the quick search shows for query.
static int listContacts(const char *path, const char *query, FILE *out, FILE *err)
{
    clearContacts();
    int code = readContacts(path, err);
    if (code == TOOL_OK)
        printContacts(out, query);
    clearContacts();
    return code;
}

static bool isFolder(const char *path)
{
    struct stat info;
    return stat(path, &info) == 0 && (info.st_mode & S_IFMT) == S_IFDIR;
}

// Writes the contact list to out: a book, one vCard file, or a folder of vCards.
static int writeContacts(const char *path, FILE *err)
{
    if (isFolder(path)) {
        int failures = exportVCardFolder(path);
        if (failures == 0)
            return TOOL_OK;
        char message[64];
        formatText(message, sizeof message, "有%d个联系人的文件无法生成：", failures);
        return refuse(err, message, path, TOOL_WRITE_FAILED);
    }
    int written;
    if (hasExtension(path, ".vcf"))
        written = exportVCardList(path);
    else if (hasExtension(path, ".ctb"))
        written = saveBook(path);
    else
        return refuse(err, "不支持的文件格式：", path, TOOL_USAGE);
    return written ? TOOL_OK : refuse(err, "文件无法写入：", path, TOOL_WRITE_FAILED);
}

static int convertContacts(const char *input, const char *output, FILE *err)
{
    clearContacts();
    int code = readContacts(input, err);
    if (code == TOOL_OK)
        code = writeContacts(output, err);
    clearContacts();
    return code;
}

int runCtbtool(int argc, char **argv, FILE *out, FILE *err)
{
    selectAnsiLocale();
    if (argc == 3 && strcmp(argv[1], "dump") == 0)
        return listContacts(argv[2], "", out, err);
    if (argc == 4 && strcmp(argv[1], "find") == 0) {
        char typed[QUERY_SIZE * 2];
        utf8ToAnsi(argv[2], typed, sizeof typed);
        char query[QUERY_SIZE];
        prepareQuery(query, typed);
        return listContacts(argv[3], query, out, err);
    }
    if (argc == 4 && strcmp(argv[1], "convert") == 0)
        return convertContacts(argv[2], argv[3], err);
    printAnsi(err, usageText);
    return TOOL_USAGE;
}
