// Plain-text contact files, as people type them: fields split by spaces, tabs, commas and the
// like, ASCII or full-width as a Chinese input method types them. A double-byte character
// always stays whole in its field, and the bytes that occur in phone numbers (+ - ( ) . # *)
// are field bytes, not separators. Control bytes and quotes are blanks: a form feed or a
// stray DEL makes no field, and "张三","138" reads as its words.
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
    if (at[0] != '\xA1' && at[0] != '\xA3') // most characters
        return NO_SEPARATOR;
    if (memcmp(at, "\xA1\xA1", 2) == 0)
        return BLANK;
    for (const char *mark : marks)
        if (memcmp(at, mark, 2) == 0)
            return MARK;
    return NO_SEPARATOR;
}

static constexpr SeparatorKind singleByteKind(unsigned char c)
{
    if (c == ' ' || c == '"' || c < 0x20 || c == 0x7F)
        return BLANK;
    bool fieldByte = (c >= '0' && c <= '9') || (c >= 0x3C && c <= 0x5A) || (c >= 'a' && c <= 'z') ||
                     c >= 0x80 || c == '+' || c == '-' || c == '(' || c == ')' || c == '.' ||
                     c == '#' || c == '*';
    return fieldByte ? NO_SEPARATOR : MARK;
}

// What every byte is when it stands alone, worked out once by the compiler.
static constexpr struct SingleByteKinds {
    SeparatorKind of[256];
    constexpr SingleByteKinds() : of()
    {
        for (int c = 0; c < 256; c++)
            of[c] = singleByteKind((unsigned char)c);
    }
} singleByteKinds;

TEXT_STEP SeparatorKind separatorAt(const char *at, size_t width)
{
    return width == 2 ? doubleByteSeparator(at) : singleByteKinds.of[(unsigned char)*at];
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
            dest[length] = at[0];
            dest[length + width - 1] = at[width - 1];
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

// A line of nothing but punctuation ("-----", "=====") is a rule, no contact.
static bool holdsWords(const char *line)
{
    for (; *line != '\0'; line++) {
        unsigned char c = (unsigned char)*line;
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0x80)
            return true;
    }
    return false;
}

// One line, without its line end: name, number, and the rest of the line as the remark. A
// line that starts with a separator other than a blank has an empty name.
static Contact textLineContact(char *line)
{
    Contact contact = {};
    const char *cursor = trimBlanks(line);
    if (nextTextField(&cursor, contact.name, sizeof contact.name) == FIELD_SEPARATOR &&
        nextTextField(&cursor, contact.number, sizeof contact.number) == FIELD_SEPARATOR)
        copyField(contact.remark, sizeof contact.remark, cursor);
    return contact;
}

// A header line as this program and people write it, with any separators.
static bool isHeader(const Contact &contact)
{
    return strcmp(contact.name, "姓名") == 0 && strcmp(contact.number, "号码") == 0 &&
           (strcmp(contact.remark, "备注") == 0 || contact.remark[0] == '\0');
}

// Appends the line's contact, unless it is a first line's header or has nothing in any
// field. 1 appended, 0 nothing to append, READ_NO_MEMORY.
static int importTextLine(char *line, bool first)
{
    if (!holdsWords(line))
        return 0;
    Contact contact = textLineContact(line);
    if ((first && isHeader(contact)) ||
        (contact.name[0] == '\0' && contact.number[0] == '\0' && contact.remark[0] == '\0'))
        return 0;
    return appendContact(contact) ? 1 : READ_NO_MEMORY;
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
        int added = importTextLine(line.data, start == text);
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
