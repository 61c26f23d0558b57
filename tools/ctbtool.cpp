// ctbtool commands. Every text leaves the tool as UTF-8, whatever the ANSI code page holds.
#include "tools/ctbtool.h"

#include "bookfile/book_file.h"
#include "common/text.h"
#include "interchange/text_encoding.h"
#include "store/contact_list.h"
#include "store/quick_search.h"

#include <cstring>

static const char usageText[] =
    "用法：\n"
    "  ctbtool dump 文件.ctb          每行输出一个联系人：姓名<TAB>号码<TAB>备注（UTF-8）\n"
    "  ctbtool find 关键字 文件.ctb   同上，只输出快速搜索显示的联系人\n";

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

// Reads path into the (empty) contact list; TOOL_OK or the exit code of the refusal.
static int readContacts(const char *path, FILE *err)
{
    if (!hasExtension(path, ".ctb")) {
        printAnsi(err, "不支持的文件格式：");
        printAnsi(err, path);
        fputs("\n", err);
        return TOOL_USAGE;
    }
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
    printAnsi(err, usageText);
    return TOOL_USAGE;
}
