// CSV reading and writing. Records are read whole, quoted fields may hold separators,
// quotes ("") and line breaks; data fields are trimmed and cut only to the contact field
// they go into, where a line break becomes a space.
#include "interchange/csv_format.h"

#include "common/file_io.h"
#include "common/text.h"
#include "common/text_buffer.h"
#include "interchange/text_format.h"
#include "store/contact_list.h"

#include <cstdlib>
#include <cstring>

char csvColumnNames[CSV_MAX_COLUMNS][CSV_COLUMN_NAME_SIZE];
int csvColumnCount;
int csvNameColumn, csvNumberColumn, csvRemarkColumn;

// Reads the field at *position into field; returns true when the record goes on after it.
static bool readCsvField(const CsvFile *csv, size_t *position, TextBuffer *field)
{
    const char *text = csv->text;
    size_t at = *position, length = csv->length;
    clearBuffer(field);
    appendBytes(field, "", 0);
    bool quoted = at < length && text[at] == '"';
    if (quoted) {
        for (at++; at < length; at++) {
            if (text[at] == '"' && at + 1 < length && text[at + 1] == '"') {
                appendBytes(field, "\"", 1);
                at++;
            } else if (text[at] == '"') {
                at++;
                break;
            } else {
                appendBytes(field, text + at, 1);
            }
        }
    }
    size_t start = at;
    while (at < length && text[at] != csv->separator && text[at] != '\n' && text[at] != '\r')
        at++;
    appendBytes(field, text + start, at - start);
    // CR, LF and CR LF each end a record, and nothing more.
    bool more = at < length && text[at] == csv->separator;
    if (more || (at < length && text[at] == '\n'))
        at++;
    else if (at < length && text[at] == '\r')
        at += at + 1 < length && text[at + 1] == '\n' ? 2 : 1;
    *position = at;
    return more;
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
    TextBuffer field = {};
    bool more = true;
    while (more && position < csv->length) {
        more = readCsvField(csv, &position, &field);
        if (csvColumnCount < CSV_MAX_COLUMNS)
            copyField(csvColumnNames[csvColumnCount++], CSV_COLUMN_NAME_SIZE, bufferText(&field));
    }
    csv->dataStart = position;
    freeBuffer(&field);
}

int openCsvText(const char *text, size_t length, CsvFile *csv)
{
    *csv = CsvFile();
    csv->text = (char *)malloc(length + 1);
    if (csv->text == nullptr)
        return 0;
    memcpy(csv->text, text, length);
    csv->text[length] = '\0';
    csv->length = length;
    readHeader(csv);
    return 1;
}

int openCsv(const char *path, CsvFile *csv)
{
    TextBuffer text = {};
    int opened = readAnsiTextFile(path, &text) && openCsvText(bufferText(&text), text.length, csv);
    freeBuffer(&text);
    return opened;
}

void closeCsv(CsvFile *csv)
{
    free(csv->text);
    *csv = CsvFile();
}

void useDefaultCsvMapping()
{
    csvNameColumn = 0;
    csvNumberColumn = 1;
    csvRemarkColumn = CSV_NO_COLUMN;
}

int importCsvRecords(const CsvFile *csv)
{
    TextBuffer field = {};
    int appended = 0;
    size_t position = csv->dataStart;
    while (position < csv->length) {
        Contact contact = {};
        bool more = true;
        for (int column = 0; more; column++) {
            more = readCsvField(csv, &position, &field);
            const char *value = bufferText(&field);
            if (column == csvNameColumn)
                copyField(contact.name, sizeof contact.name, value);
            if (column == csvNumberColumn)
                copyField(contact.number, sizeof contact.number, value);
            if (column == csvRemarkColumn)
                copyField(contact.remark, sizeof contact.remark, value);
        }
        if (contact.name[0] != '\0' || contact.number[0] != '\0' || contact.remark[0] != '\0')
            appended += appendContact(contact);
    }
    freeBuffer(&field);
    return appended;
}

// One field, quoted when it holds a comma, a quote or a line break.
static int writeCsvField(FILE *file, const char *value, const char *after)
{
    bool quote = strpbrk(value, ",\"\r\n") != nullptr;
    if (!quote)
        return writeBytes(file, value, strlen(value)) && writeBytes(file, after, strlen(after));
    if (!writeBytes(file, "\"", 1))
        return 0;
    for (const char *c = value; *c != '\0'; c++)
        if (!writeBytes(file, c, 1) || (*c == '"' && !writeBytes(file, "\"", 1)))
            return 0;
    return writeBytes(file, "\"", 1) && writeBytes(file, after, strlen(after));
}

static int writeCsvFile(FILE *file, const void *context)
{
    int checkedOnly = *(const int *)context;
    if (!writeBytes(file, "姓名,号码,备注\r\n", strlen("姓名,号码,备注\r\n")))
        return 0;
    for (const Contact *contact = firstContact; contact != nullptr; contact = contact->next) {
        if (checkedOnly && contact->checked != 1)
            continue;
        if (!writeCsvField(file, contact->name, ",") || !writeCsvField(file, contact->number, ",") ||
            !writeCsvField(file, contact->remark, "\r\n"))
            return 0;
    }
    return 1;
}

int exportCsv(const char *path, int checkedOnly)
{
    return writeFileSafely(path, writeCsvFile, &checkedOnly);
}
