// ctbtool commands. Every text leaves the tool as UTF-8, whatever the ANSI code page holds.
#include "tools/ctbtool.h"

#include "bookfile/book_file.h"
#include "common/platform.h"
#include "common/text.h"
#include "interchange/csv_format.h"
#include "interchange/exchange_formats.h"
#include "interchange/text_encoding.h"
#include "interchange/vcard_format.h"
#include "interchange/xlsx_format.h"
#include "store/contact_list.h"
#include "store/quick_search.h"

#include <cstdlib>
#include <cstring>

static const char usageText[] =
    "用法：\n"
    "  ctbtool dump 文件.ctb          每行输出一个联系人：姓名<TAB>号码<TAB>备注（UTF-8）\n"
    "  ctbtool find 关键字 文件.ctb   同上，只输出快速搜索显示的联系人\n"
    "  ctbtool convert 输入 输出      转换：输出为 .ctb、.vcf、.txt、.csv 文件或已有的目录（每人一个vcf）\n"
    "输入可以是 .ctb、.vcf、.txt、.csv 或 Excel 的 .xlsx 文件。选项：\n"
    "  --name N --number N --remark N   CSV 和 .xlsx 输入的列号（从0开始，-1 表示不导入；默认 0、1、-1）\n"
    "  --separator space|comma          TXT 输出的分隔符（默认逗号）\n"
    "  --header                         TXT 输出表头\n";

struct ToolOptions {
    const char *arguments[3];
    int argumentCount;
    int columns[3]; // the CSV columns of name, number and remark
    ExportOptions output;
};

enum { LAST_COLUMN = 9999 };

// A column number from 0, or -1 for none; false for anything else.
static bool readColumn(const char *value, int *column)
{
    char *end = nullptr;
    long number = strtol(value, &end, 10);
    if (end == value || *end != '\0' || number < CSV_NO_COLUMN || number > LAST_COLUMN)
        return false;
    *column = (int)number;
    return true;
}

static const struct {
    const char *name;
    bool takesValue;
    bool (*apply)(ToolOptions *options, const char *value);
} toolOptions[] = {
    {"--name", true, [](ToolOptions *o, const char *value) { return readColumn(value, &o->columns[0]); }},
    {"--number", true, [](ToolOptions *o, const char *value) { return readColumn(value, &o->columns[1]); }},
    {"--remark", true, [](ToolOptions *o, const char *value) { return readColumn(value, &o->columns[2]); }},
    {"--separator", true,
     [](ToolOptions *o, const char *value) {
         o->output.separator = strcmp(value, "space") == 0 ? ' ' : ',';
         return strcmp(value, "space") == 0 || strcmp(value, "comma") == 0;
     }},
    {"--header", false, [](ToolOptions *o, const char *) { return o->output.header = true; }},
};

static void printAnsi(FILE *stream, const char *ansi)
{
    char utf8[1024];
    ansiToUtf8(ansi, utf8, sizeof utf8);
    fputs(utf8, stream);
}

static int refuse(FILE *err, const char *message, const char *path, int code)
{
    printAnsi(err, message);
    printAnsi(err, path);
    fputs("\n", err);
    return code;
}

static const FileFormat *formatOf(const char *path)
{
    const FileFormat *book = &bookFileFormat;
    const FileFormat *format = findFormat(path, &book, 1);
    return format != nullptr ? format : findFormat(path, exchangeFormats, exchangeFormatCount);
}

// Says why a reader of format read nothing; the exit code.
static int reportReadFailure(const FileFormat *format, int failure, const char *path, FILE *err)
{
    if (format == &bookFileFormat) {
        char message[600];
        formatLoadMessage(message, sizeof message, loadResultOf(failure), path);
        printAnsi(err, message);
        fputs("\n", err);
        return failure == READ_CANNOT_OPEN ? TOOL_CANNOT_OPEN : failure == READ_NO_MEMORY ? TOOL_NO_MEMORY : -failure;
    }
    if (failure == READ_NO_MEMORY)
        return refuse(err, "内存不足！", "", TOOL_NO_MEMORY);
    if (format->read == importXlsx) {
        printAnsi(err, workbookRefusal(failure));
        return refuse(err, "\n", path, TOOL_CANNOT_OPEN);
    }
    return refuse(err, "无法读取文件：", path, TOOL_CANNOT_OPEN);
}

// Reads path into the (empty) contact list; TOOL_OK or the exit code of the refusal.
static int readContacts(const char *path, const ToolOptions *options, FILE *err)
{
    const FileFormat *format = formatOf(path);
    if (format == nullptr)
        return refuse(err, "不支持的文件格式：", path, TOOL_USAGE);
    csvNameColumn = options->columns[0];
    csvNumberColumn = options->columns[1];
    csvRemarkColumn = options->columns[2];
    // A workbook's table keeps the columns the program's column dialog can show.
    if (format->read == importXlsx && (csvNameColumn >= CSV_MAX_COLUMNS || csvNumberColumn >= CSV_MAX_COLUMNS ||
                                       csvRemarkColumn >= CSV_MAX_COLUMNS))
        return refuse(err, "Excel文件只读取前128列（0到127）：", path, TOOL_USAGE);
    int result = format->read(path);
    return result >= 0 ? TOOL_OK : reportReadFailure(format, result, path, err);
}

// One line: name, number and remark in UTF-8 between TABs. A field is at most 39 bytes, three
// bytes of UTF-8 for each.
// The lines of printed contacts, written out a buffer at a time.
struct PrintedLines {
    FILE *out;
    size_t length;
    char text[1 << 16];
};

static void flushLines(PrintedLines *lines)
{
    fwrite(lines->text, 1, lines->length, lines->out);
    lines->length = 0;
}

// A contact's line: its fields in UTF-8, separated by tabs.
static void printContact(PrintedLines *lines, const Contact *contact)
{
    enum { LINE_SIZE = 4 * (NAME_SIZE + NUMBER_SIZE + REMARK_SIZE) };
    if (lines->length + LINE_SIZE > sizeof lines->text)
        flushLines(lines);
    char *line = lines->text + lines->length;
    size_t length = 0;
    const char *fields[] = {contact->name, contact->number, contact->remark};
    for (const char *field : fields) {
        length += ansiToUtf8(field, line + length, LINE_SIZE - length - 1);
        line[length++] = field == contact->remark ? '\n' : '\t';
    }
    lines->length += length;
}

static size_t occurrences(const char *text, char c)
{
    size_t count = 0;
    for (; *text != '\0'; text++)
        count += *text == c;
    return count;
}

// Reads path and prints what the quick search shows for typed (every contact for "").
static int printMatches(const char *path, const ToolOptions *options, const char *typed, FILE *out,
                        FILE *err)
{
    char ansi[QUERY_SIZE * 2];
    utf8ToAnsi(typed, ansi, sizeof ansi);
    // A character the code page lacks is in no contact; its '?' must not find them.
    bool representable = occurrences(typed, '?') == occurrences(ansi, '?');
    SearchQuery query;
    prepareQuery(&query, ansi);
    clearContacts();
    int code = readContacts(path, options, err);
    static PrintedLines lines;
    lines.out = out;
    for (const Contact *contact = firstContact; code == TOOL_OK && contact != nullptr; contact = contact->next)
        if (representable && contactMatchesQuery(contact, &query))
            printContact(&lines, contact);
    flushLines(&lines);
    clearContacts();
    return code;
}

// Writes the contact list to path: a book, a vCard, text or CSV file, or a folder of vCards.
// A conversion that found no contact replaces nothing that is there.
static int writeContacts(const char *path, const ToolOptions *options, FILE *err)
{
    PathKind existing = platformPathKind(path);
    if (contactCount == 0 && existing != PATH_MISSING)
        return refuse(err, "没有找到联系人，没有写入：", path, TOOL_NO_CONTACTS);
    if (existing == PATH_FOLDER) {
        int failures = 0;
        if (exportVCardFolder(path, &failures))
            return TOOL_OK;
        char message[64];
        formatText(message, sizeof message, "有%d个联系人的文件无法生成：", failures);
        return refuse(err, message, path, TOOL_WRITE_FAILED);
    }
    const FileFormat *format = formatOf(path);
    if (format == nullptr || format->write == nullptr)
        return refuse(err, "不支持的文件格式：", path, TOOL_USAGE);
    return format->write(path, &options->output) ? TOOL_OK
                                                 : refuse(err, "文件无法写入：", path, TOOL_WRITE_FAILED);
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

// Takes the options apart; false on anything it does not know. After "--" every word is an
// argument, even one that starts with '-'.
static bool readOptions(int argc, char **argv, ToolOptions *options)
{
    *options = ToolOptions();
    options->columns[1] = 1;
    options->columns[2] = CSV_NO_COLUMN;
    options->output.separator = ',';
    bool optionsEnded = false;
    for (int i = 2; i < argc; i++) {
        bool known = false;
        for (const auto &option : toolOptions) {
            if (optionsEnded || strcmp(argv[i], option.name) != 0)
                continue;
            if (option.takesValue && i + 1 == argc)
                return false;
            if (!option.apply(options, option.takesValue ? argv[++i] : nullptr))
                return false;
            known = true;
        }
        if (known)
            continue;
        if (!optionsEnded && strcmp(argv[i], "--") == 0)
            optionsEnded = true;
        else if ((optionsEnded || argv[i][0] != '-') && options->argumentCount < 3)
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
    bool known = readOptions(argc, argv, &options);
    if (known && strcmp(command, "dump") == 0 && options.argumentCount == 1)
        return printMatches(options.arguments[0], &options, "", out, err);
    if (known && strcmp(command, "find") == 0 && options.argumentCount == 2)
        return printMatches(options.arguments[1], &options, options.arguments[0], out, err);
    if (known && strcmp(command, "convert") == 0 && options.argumentCount == 2)
        return convertContacts(&options, err);
    printAnsi(err, usageText);
    return TOOL_USAGE;
}
