// ctbtool commands. Every text leaves the tool as UTF-8, whatever the ANSI code page holds.
#include "tools/ctbtool.h"

#include "bookfile/book_file.h"
#include "common/text.h"
#include "interchange/csv_format.h"
#include "interchange/text_encoding.h"
#include "interchange/text_format.h"
#include "interchange/vcard_format.h"
#include "store/contact_list.h"
#include "store/quick_search.h"

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

static const char usageText[] =
    "用法：\n"
    "  ctbtool dump 文件.ctb          每行输出一个联系人：姓名<TAB>号码<TAB>备注（UTF-8）\n"
    "  ctbtool find 关键字 文件.ctb   同上，只输出快速搜索显示的联系人\n"
    "  ctbtool convert 输入 输出      转换：输出为 .ctb、.vcf、.txt、.csv 文件或已有的目录（每人一个vcf）\n"
    "输入可以是 .ctb、.vcf、.txt 或 .csv 文件。选项：\n"
    "  --name N --number N --remark N   CSV 输入的列号（从0开始，-1 表示不导入；默认 0、1、-1）\n"
    "  --separator space|comma          TXT 输出的分隔符（默认逗号）\n"
    "  --header                         TXT 输出表头\n";

// Command-line options of dump, find and convert.
struct ToolOptions {
    const char *arguments[3];
    int argumentCount;
    int csvColumns[3]; // name, number, remark
    char separator;
    int header;
};

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
    return equalsIgnoringCase(path + pathLength - extensionLength, extension);
}

static int refuse(FILE *err, const char *message, const char *path, int code)
{
    printAnsi(err, message);
    printAnsi(err, path);
    fputs("\n", err);
    return code;
}

static int readCsvContacts(const char *path, const ToolOptions *options, FILE *err)
{
    CsvFile csv;
    if (!openCsv(path, &csv))
        return refuse(err, "无法读取csv文件：", path, TOOL_CANNOT_OPEN);
    csvNameColumn = options->csvColumns[0];
    csvNumberColumn = options->csvColumns[1];
    csvRemarkColumn = options->csvColumns[2];
    importCsvRecords(&csv);
    closeCsv(&csv);
    return TOOL_OK;
}

// Reads path into the (empty) contact list; TOOL_OK or the exit code of the refusal.
static int readContacts(const char *path, const ToolOptions *options, FILE *err)
{
    if (hasExtension(path, ".vcf") || hasExtension(path, ".txt")) {
        int appended = hasExtension(path, ".vcf") ? importVCard(path) : importText(path);
        return appended >= 0 ? TOOL_OK : refuse(err, "无法打开文件：", path, TOOL_CANNOT_OPEN);
    }
    if (hasExtension(path, ".csv"))
        return readCsvContacts(path, options, err);
    if (!hasExtension(path, ".ctb"))
        return refuse(err, "不支持的文件格式：", path, TOOL_USAGE);
    int result = loadBook(path);
    if (result == LOAD_OK)
        return TOOL_OK;
    char message[600];
    formatLoadMessage(message, sizeof message, result, path);
    printAnsi(err, message);
    fputs("\n", err);
    return result == LOAD_CANNOT_READ ? TOOL_CANNOT_OPEN : result;
}

// Prints the contacts the quick search shows for query (all of them for an empty one; none
// for a null one).
static void printContacts(FILE *out, const SearchQuery *query)
{
    for (const Contact *record = firstContact; record != nullptr; record = record->next) {
        if (query == nullptr || !contactMatchesQuery(record, query))
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
static int listContacts(const char *path, const ToolOptions *options, const SearchQuery *query,
                        FILE *out, FILE *err)
{
    clearContacts();
    int code = readContacts(path, options, err);
    if (code == TOOL_OK)
        printContacts(out, query);
    clearContacts();
    return code;
}

static size_t occurrences(const char *text, char c)
{
    size_t count = 0;
    for (; *text != '\0'; text++)
        count += *text == c;
    return count;
}

static bool isFolder(const char *path)
{
    struct stat info;
    return stat(path, &info) == 0 && (info.st_mode & S_IFMT) == S_IFDIR;
}

// Writes the contact list to out: a book, a vCard, text or CSV file, or a folder of vCards.
static int writeContacts(const char *path, const ToolOptions *options, FILE *err)
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
    else if (hasExtension(path, ".txt"))
        written = exportText(path, options->separator, 0, options->header);
    else if (hasExtension(path, ".csv"))
        written = exportCsv(path, 0);
    else
        return refuse(err, "不支持的文件格式：", path, TOOL_USAGE);
    return written ? TOOL_OK : refuse(err, "文件无法写入：", path, TOOL_WRITE_FAILED);
}

static int convertContacts(const ToolOptions *options, FILE *err)
{
    clearContacts();
    int code = readContacts(options->arguments[0], options, err);
    if (code == TOOL_OK)
        code = writeContacts(options->arguments[1], options, err);
    clearContacts();
    return code;
}

// After "--" every word is an argument, even one that starts with '-'.
static bool takeArguments(int argc, char **argv, int from, ToolOptions *options)
{
    for (int i = from; i < argc; i++) {
        if (options->argumentCount == 3)
            return false;
        options->arguments[options->argumentCount++] = argv[i];
    }
    return true;
}

// Takes the options apart; false on anything it does not know.
static bool readOptions(int argc, char **argv, ToolOptions *options)
{
    *options = ToolOptions();
    options->csvColumns[0] = 0;
    options->csvColumns[1] = 1;
    options->csvColumns[2] = CSV_NO_COLUMN;
    options->separator = ',';
    static const char *const columnOptions[] = {"--name", "--number", "--remark"};
    for (int i = 2; i < argc; i++) {
        bool known = false;
        for (int column = 0; column < 3; column++) {
            if (strcmp(argv[i], columnOptions[column]) == 0 && i + 1 < argc) {
                options->csvColumns[column] = atoi(argv[++i]);
                known = true;
            }
        }
        if (known)
            continue;
        if (strcmp(argv[i], "--header") == 0)
            options->header = 1;
        else if (strcmp(argv[i], "--separator") == 0 && i + 1 < argc &&
                 (strcmp(argv[i + 1], "space") == 0 || strcmp(argv[i + 1], "comma") == 0))
            options->separator = strcmp(argv[++i], "space") == 0 ? ' ' : ',';
        else if (strcmp(argv[i], "--") == 0)
            return takeArguments(argc, argv, i + 1, options);
        else if (argv[i][0] != '-' && options->argumentCount < 3)
            options->arguments[options->argumentCount++] = argv[i];
        else
            return false;
    }
    return true;
}


int runCtbtool(int argc, char **argv, FILE *out, FILE *err)
{
    selectAnsiLocale();
    ToolOptions options;
    const char *command = argc > 1 ? argv[1] : "";
    if (!readOptions(argc, argv, &options)) {
        printAnsi(err, usageText);
        return TOOL_USAGE;
    }
    bool dump = strcmp(command, "dump") == 0 && options.argumentCount == 1;
    if (dump || (strcmp(command, "find") == 0 && options.argumentCount == 2)) {
        char typed[QUERY_SIZE * 2];
        utf8ToAnsi(dump ? "" : options.arguments[0], typed, sizeof typed);
        SearchQuery query;
        prepareQuery(&query, typed);
        // A character the code page lacks is in no contact; its '?' must not find them.
        bool lacking = !dump && occurrences(options.arguments[0], '?') != occurrences(typed, '?');
        return listContacts(options.arguments[dump ? 0 : 1], &options, lacking ? nullptr : &query,
                            out, err);
    }
    if (strcmp(command, "convert") == 0 && options.argumentCount == 2)
        return convertContacts(&options, err);
    printAnsi(err, usageText);
    return TOOL_USAGE;
}
