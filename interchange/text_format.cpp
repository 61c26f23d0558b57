// Plain-text contact files, as people type them: fields split by spaces, tabs, commas and the
// like, ASCII or full-width as a Chinese input method types them. A double-byte character
// always stays whole in its field, and the bytes that occur in phone numbers (+ - ( ) . # *)
// are field bytes, not separators.
#include "interchange/text_format.h"

#include "common/file_io.h"
#include "common/text.h"
#include "common/text_buffer.h"
#include "interchange/exchange_formats.h"
#include "interchange/text_encoding.h"
#include "store/contact_list.h"

#include <cstring>

enum SeparatorKind { NO_SEPARATOR, BLANK, MARK };

// The full-width separators of GBK: ，；、： and the ideographic space, a blank.
static SeparatorKind doubleByteSeparator(const char *at)
{
    static const char marks[][3] = {"\xA3\xAC", "\xA3\xBB", "\xA1\xA2", "\xA3\xBA"};
    if (memcmp(at, "\xA1\xA1", 2) == 0)
        return BLANK;
    for (const char *mark : marks)
        if (memcmp(at, mark, 2) == 0)
            return MARK;
    return NO_SEPARATOR;
}

static SeparatorKind separatorAt(const char *at, size_t width)
{
    unsigned char c = (unsigned char)*at;
    if (width == 2)
        return doubleByteSeparator(at);
    if (c == ' ' || c == '\t')
        return BLANK;
    bool fieldByte = (c >= '0' && c <= '9') || (c >= 0x3C && c <= 0x5A) || (c >= 'a' && c <= 'z') ||
                     c >= 0x80 || strchr("+-().#*", c) != nullptr;
    return fieldByte ? NO_SEPARATOR : MARK;
}

// Past the separator at at: its blanks, and one mark with the blanks after it.
static const char *pastSeparator(const char *at)
{
    SeparatorKind kind = NO_SEPARATOR;
    while (*at != '\0' && (kind = separatorAt(at, characterWidth(at))) == BLANK)
        at += characterWidth(at);
    if (*at != '\0' && kind == MARK) {
        at += characterWidth(at);
        while (*at != '\0' && separatorAt(at, characterWidth(at)) == BLANK)
            at += characterWidth(at);
    }
    return at;
}

FieldEnd nextTextField(const char **cursor, char *dest, size_t capacity)
{
    const char *at = *cursor;
    size_t length = 0;
    bool full = false; // once a character did not fit, nothing after it is kept
    FieldEnd end;
    for (;;) {
        if (*at == '\n' || *at == '\0') {
            end = *at == '\n' ? FIELD_LINE_END : FIELD_TEXT_END;
            at += *at == '\n';
            break;
        }
        size_t width = characterWidth(at);
        if (separatorAt(at, width) != NO_SEPARATOR) {
            end = FIELD_SEPARATOR;
            at = pastSeparator(at);
            break;
        }
        full = full || length + width >= capacity;
        if (!full) {
            memcpy(dest + length, at, width);
            length += width;
        }
        at += width;
    }
    if (capacity > 0)
        dest[length < capacity ? length : capacity - 1] = '\0';
    *cursor = at;
    return end;
}

// Drops the blanks at both ends of a line; returns where it starts now.
static char *trimBlanks(char *line)
{
    while (*line != '\0' && separatorAt(line, characterWidth(line)) == BLANK)
        line += characterWidth(line);
    char *end = line;
    for (char *at = line; *at != '\0'; at += characterWidth(at))
        if (separatorAt(at, characterWidth(at)) != BLANK)
            end = at + characterWidth(at);
    *end = '\0';
    return line;
}

// One line, without its line end: name, number, and the rest of the line as the remark. A
// line that starts with a separator other than a blank has an empty name; a line with
// nothing in any field adds nothing. 1 appended, 0 nothing to append, READ_NO_MEMORY.
static int importTextLine(char *line)
{
    Contact contact = {};
    const char *cursor = trimBlanks(line);
    if (nextTextField(&cursor, contact.name, sizeof contact.name) == FIELD_SEPARATOR &&
        nextTextField(&cursor, contact.number, sizeof contact.number) == FIELD_SEPARATOR)
        copyField(contact.remark, sizeof contact.remark, cursor);
    if (contact.name[0] == '\0' && contact.number[0] == '\0' && contact.remark[0] == '\0')
        return 0;
    return appendContact(contact) ? 1 : READ_NO_MEMORY;
}

// The header line this program's own export writes, with either separator.
static bool isExportHeader(const char *line)
{
    return strcmp(line, "姓名 号码 备注") == 0 || strcmp(line, "姓名,号码,备注") == 0;
}

int importTextBytes(const char *text, size_t length)
{
    TextBuffer line = {};
    int appended = 0;
    const char *start;
    size_t lineLength;
    for (size_t position = 0; nextLine(text, length, &position, &start, &lineLength);) {
        clearBuffer(&line);
        if (!appendBytes(&line, start, lineLength)) {
            appended = READ_NO_MEMORY;
            break;
        }
        int added = start != text || !isExportHeader(line.data) ? importTextLine(line.data) : 0;
        if (added < 0) {
            appended = added;
            break;
        }
        appended += added;
    }
    freeBuffer(&line);
    return appended;
}

int importText(const char *path)
{
    TextBuffer text = {};
    int result = readAnsiTextFile(path, &text);
    if (result == 0)
        result = importTextBytes(bufferText(&text), text.length);
    freeBuffer(&text);
    return result;
}

struct TextExport {
    char separator;
    bool checkedOnly;
    bool withHeader;
};

static bool writeField(FILE *file, const char *text, char after)
{
    return writeBytes(file, text, strlen(text)) && writeBytes(file, &after, 1);
}

static bool writeTextFile(FILE *file, const void *context)
{
    const TextExport *options = (const TextExport *)context;
    char separator = options->separator;
    if (options->withHeader && !(writeField(file, "姓名", separator) &&
                                 writeField(file, "号码", separator) &&
                                 writeBytes(file, "备注\r\n", strlen("备注\r\n"))))
        return false;
    for (const Contact *contact = firstContact; contact != nullptr; contact = contact->next) {
        if (options->checkedOnly && contact->checked != 1)
            continue;
        if (!writeField(file, contact->name, separator) ||
            !writeField(file, contact->number, separator) ||
            !writeBytes(file, contact->remark, strlen(contact->remark)) ||
            !writeBytes(file, "\r\n", 2))
            return false;
    }
    return true;
}

bool exportText(const char *path, char separator, bool checkedOnly, bool withHeader)
{
    TextExport options = {separator, checkedOnly, withHeader};
    return writeFileSafely(path, writeTextFile, &options);
}
