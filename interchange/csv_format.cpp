// CSV reading and writing. Records are read whole, quoted fields may hold separators,
// quotes ("") and line breaks; data fields are trimmed and cut only to the contact field
// they go into, where a line break becomes a space.
#include "interchange/csv_format.h"

#include "common/file_io.h"
#include "common/memory.h"
#include "common/text.h"
#include "common/text_buffer.h"
#include "interchange/exchange_formats.h"
#include "interchange/text_encoding.h"
#include "store/contact_list.h"

#include <cstdlib>
#include <cstring>

char csvColumnNames[CSV_MAX_COLUMNS][CSV_COLUMN_NAME_SIZE];
int csvColumnCount;
int csvNameColumn, csvNumberColumn, csvRemarkColumn;

// Where the quoted field at the quote `at` ends: just past its closing quote ("" inside is
// one quote); 0 when no quote closes it before the end of the file.
static size_t quotedFieldEnd(const CsvFile *csv, size_t at)
{
    const char *text = csv->text;
    for (size_t i = at + 1; i < csv->length; i++) {
        const char *quote = (const char *)memchr(text + i, '"', csv->length - i);
        if (quote == nullptr)
            return 0;
        i = (size_t)(quote - text);
        if (i + 1 < csv->length && text[i + 1] == '"')
            i++;
        else
            return i + 1;
    }
    return 0;
}

// Spreadsheets keep a leading zero by writing a number as a formula: ="01062345678"; Google
// Contacts writes a field's several values as "a ::: b": the first is the field's.
static char *plainValue(char *field, size_t length)
{
    if (length >= 3 && field[0] == '=' && field[1] == '"' && field[length - 1] == '"') {
        field[length - 1] = '\0';
        field += 2;
        length -= 3;
    }
    for (size_t i = 0; i + 5 <= length; i++) {
        if (field[i] == ' ' && memcmp(field + i, " ::: ", 5) == 0) {
            field[i] = '\0';
            break;
        }
    }
    return field;
}

// Reads the field at *position where it stands: its quotes undone and a NUL after it, in the
// file's own text (which is read once). *more tells whether the record goes on after it. A
// quote that never closes is taken as text, and the field ends with its line.
static char *readCsvField(CsvFile *csv, size_t *position, bool *more)
{
    char *text = csv->text;
    size_t at = *position, length = csv->length, fieldStart = at, written = at;
    size_t quotedEnd = at < length && text[at] == '"' ? quotedFieldEnd(csv, at) : 0;
    if (quotedEnd != 0) {
        for (size_t i = at + 1; i + 1 < quotedEnd; i++) {
            text[written++] = text[i];
            i += text[i] == '"'; // "" is one quote
        }
        at = quotedEnd;
    }
    size_t start = at;
    while (at < length && !csv->endsField[(unsigned char)text[at]])
        at++;
    *more = at < length && text[at] == csv->separator;
    *position = at + (*more ? 1 : lineEndLength(text, length, at));
    if (written != start)
        memmove(text + written, text + start, at - start);
    written += at - start;
    text[written] = '\0';
    return plainValue(text + fieldStart, written - fieldStart);
}

// The header's separator: the comma, unless the header holds none outside quotes and holds
// semicolons or tabs (European and Mac exports).
static char headerSeparator(const char *text, size_t length)
{
    bool quoted = false;
    size_t commas = 0, semicolons = 0, tabs = 0;
    for (size_t i = 0; i < length && (quoted || (text[i] != '\n' && text[i] != '\r')); i++) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (!quoted)
            commas += text[i] == ',', semicolons += text[i] == ';', tabs += text[i] == '\t';
    }
    if (commas > 0 || (semicolons == 0 && tabs == 0))
        return ',';
    return semicolons >= tabs ? ';' : '\t';
}

// Excel's "sep=;" first line names the separator; it is no header.
static size_t readSeparatorLine(CsvFile *csv)
{
    const char *text = csv->text;
    if (csv->length < 5)
        return 0;
    char start[5] = "";
    copyText(start, sizeof start, text);
    bool lineEnds = csv->length == 5 || text[5] == '\r' || text[5] == '\n';
    if (!equalsIgnoringCase(start, "sep=") || !lineEnds || text[4] == '\r' || text[4] == '\n')
        return 0;
    csv->separator = text[4];
    size_t end = 5;
    if (end < csv->length && text[end] == '\r')
        end++;
    if (end < csv->length && text[end] == '\n')
        end++;
    return end;
}

static void readHeader(CsvFile *csv)
{
    memset(csvColumnNames, 0, sizeof csvColumnNames);
    csvColumnCount = 0;
    size_t position = readSeparatorLine(csv);
    if (position == 0)
        csv->separator = headerSeparator(csv->text, csv->length);
    csv->endsField[(unsigned char)csv->separator] = true;
    csv->endsField[(unsigned char)'\r'] = csv->endsField[(unsigned char)'\n'] = true;
    bool more = true;
    while (more && position < csv->length) {
        const char *field = readCsvField(csv, &position, &more);
        if (csvColumnCount < CSV_MAX_COLUMNS)
            copyField(csvColumnNames[csvColumnCount++], CSV_COLUMN_NAME_SIZE, field);
    }
    csv->dataStart = position;
}

// Takes the text over and reads its header.
static int openCsvBuffer(TextBuffer *text, CsvFile *csv)
{
    *csv = CsvFile();
    if (text->data == nullptr && !appendBytes(text, "", 0))
        return READ_NO_MEMORY;
    csv->text = text->data;
    csv->length = text->length;
    *text = TextBuffer();
    readHeader(csv);
    if (csvColumnCount > 0)
        return 0;
    closeCsv(csv);
    return READ_CANNOT_OPEN;
}

int openCsvBytes(const char *bytes, size_t length, CsvFile *csv)
{
    TextBuffer text = {};
    if (!appendBytes(&text, bytes, length))
        return READ_NO_MEMORY;
    return openCsvBuffer(&text, csv);
}

int openCsv(const char *path, CsvFile *csv)
{
    TextBuffer text = {};
    int result = readAnsiTextFile(path, &text);
    if (result == 0)
        return openCsvBuffer(&text, csv);
    *csv = CsvFile();
    return result;
}

void closeCsv(CsvFile *csv)
{
    freeMemory(csv->text);
    *csv = CsvFile();
}

void useDefaultCsvMapping()
{
    csvNameColumn = 0;
    csvNumberColumn = 1;
    csvRemarkColumn = CSV_NO_COLUMN;
}

// Column names by preference, the first present wins; the list ends with a null.
static const char *const nameHeaders[] = {"姓名", "名称", "显示名称", "Name", "Display Name",
                                          "Full Name", "First Name", "名", nullptr};
static const char *const numberHeaders[] = {
    "手机", "移动电话", "手机号码", "Mobile", "Mobile Phone", "Cell Phone", "Mobile Number",
    "Phone 1 - Value", "电话", "号码", "Phone", "Primary Phone", "Home Phone", "Business Phone",
    nullptr};
static const char *const remarkHeaders[] = {"备注", "注释", "Notes", "Note", "E-mail Address",
                                            "E-mail 1 - Value", "Primary Email", nullptr};

static int columnNamed(const char *const *headers, int fallback)
{
    for (; *headers != nullptr; headers++)
        for (int column = 0; column < csvColumnCount; column++)
            if (equalsIgnoringCase(csvColumnNames[column], *headers))
                return column;
    return fallback;
}

// The column for a field no header names: preferred, or the first after it that no field
// has taken; none when every column is taken.
static int freeColumn(int preferred)
{
    for (int i = 0; i < csvColumnCount; i++) {
        int column = (preferred + i) % csvColumnCount;
        if (column != csvNameColumn && column != csvNumberColumn && column != csvRemarkColumn)
            return column;
    }
    return CSV_NO_COLUMN;
}

void recognizeCsvColumns()
{
    csvNameColumn = columnNamed(nameHeaders, CSV_NO_COLUMN);
    csvNumberColumn = columnNamed(numberHeaders, CSV_NO_COLUMN);
    csvRemarkColumn = columnNamed(remarkHeaders, CSV_NO_COLUMN);
    if (csvNameColumn == CSV_NO_COLUMN)
        csvNameColumn = freeColumn(0);
    if (csvNumberColumn == CSV_NO_COLUMN)
        csvNumberColumn = freeColumn(1);
}

int importCsvRecords(CsvFile *csv)
{
    int appended = 0;
    size_t position = csv->dataStart;
    while (position < csv->length) {
        Contact contact = {};
        bool more = true;
        for (int column = 0; more; column++) {
            const char *value = readCsvField(csv, &position, &more);
            if (column == csvNameColumn)
                copyField(contact.name, sizeof contact.name, value);
            if (column == csvNumberColumn)
                copyField(contact.number, sizeof contact.number, value);
            if (column == csvRemarkColumn)
                copyField(contact.remark, sizeof contact.remark, value);
        }
        if (contact.name[0] == '\0' && contact.number[0] == '\0' && contact.remark[0] == '\0')
            continue;
        if (!appendContact(contact)) {
            appended = READ_NO_MEMORY;
            break;
        }
        appended++;
    }
    return appended;
}

int importTableFile(const char *path, int (*open)(const char *path, CsvFile *csv))
{
    CsvFile csv;
    int result = open(path, &csv);
    if (result == 0) {
        result = importCsvRecords(&csv);
        closeCsv(&csv);
    }
    return result;
}

int importCsv(const char *path)
{
    return importTableFile(path, openCsv);
}

// One field, quoted when it holds a comma, a quote or a line break.
static bool writeCsvField(FILE *file, const char *value, const char *after)
{
    bool quote = strpbrk(value, ",\"\r\n") != nullptr;
    if (!quote)
        return writeBytes(file, value, strlen(value)) && writeBytes(file, after, strlen(after));
    if (!writeBytes(file, "\"", 1))
        return false;
    for (const char *c = value; *c != '\0'; c++)
        if (!writeBytes(file, c, 1) || (*c == '"' && !writeBytes(file, "\"", 1)))
            return false;
    return writeBytes(file, "\"", 1) && writeBytes(file, after, strlen(after));
}

static bool writeCsvFile(FILE *file, const void *context)
{
    bool checkedOnly = *(const bool *)context;
    if (!writeBytes(file, "姓名,号码,备注\r\n", strlen("姓名,号码,备注\r\n")))
        return false;
    for (const Contact *contact = firstContact; contact != nullptr; contact = contact->next) {
        if (checkedOnly && contact->checked != 1)
            continue;
        if (!writeCsvField(file, contact->name, ",") || !writeCsvField(file, contact->number, ",") ||
            !writeCsvField(file, contact->remark, "\r\n"))
            return false;
    }
    return true;
}

bool exportCsv(const char *path, bool checkedOnly)
{
    return writeFileSafely(path, writeCsvFile, &checkedOnly);
}
