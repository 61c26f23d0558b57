// Plain-text contact files. A double-byte character always stays whole in its field, and
// the bytes that occur in phone numbers (+ - ( ) . # *) are field bytes, not separators.
#include "interchange/text_format.h"

#include "common/file_io.h"
#include "common/text.h"
#include "common/text_buffer.h"
#include "interchange/text_encoding.h"
#include "store/contact_list.h"

#include <cstring>

int readAnsiTextFile(const char *path, TextBuffer *text)
{
    TextBuffer file = {};
    int kind = readWholeFile(path, &file) ? normalizeTextFile(&file) : 0;
    if (kind == 0) {
        freeBuffer(&file);
        return 0;
    }
    bool nonAscii = false;
    for (size_t i = 0; i < file.length && !nonAscii; i++)
        nonAscii = (unsigned char)file.data[i] >= 0x80;
    if (kind == UNICODE_TEXT || (nonAscii && isUtf8(bufferText(&file), file.length))) {
        selectAnsiLocale();
        TextBuffer ansi = {};
        if (!appendBytes(&ansi, "", 0) || !appendBytes(&ansi, bufferText(&file), file.length)) {
            freeBuffer(&file);
            freeBuffer(&ansi);
            return 0;
        }
        ansi.length = utf8ToAnsi(bufferText(&file), ansi.data, ansi.capacity);
        freeBuffer(&file);
        file = ansi;
    }
    appendBytes(text, bufferText(&file), file.length);
    freeBuffer(&file);
    return 1;
}

static bool isFieldByte(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 0x3C && c <= 0x5A) || (c >= 'a' && c <= 'z') ||
           c >= 0x80 || (c != '\0' && strchr("+-().#*", c) != nullptr);
}

int nextTextField(const char **cursor, char *dest, size_t capacity)
{
    const char *at = *cursor;
    size_t length = 0;
    int end;
    for (;;) {
        unsigned char c = (unsigned char)*at;
        if (c == '\n') {
            end = FIELD_LINE_END;
            at++;
            break;
        }
        if (c == '\0') {
            end = FIELD_TEXT_END;
            break;
        }
        size_t width = isLeadByte(c) && at[1] != '\0' ? 2 : 1;
        if (width == 1 && !isFieldByte(c)) {
            end = FIELD_SEPARATOR;
            at++;
            break;
        }
        if (length + width < capacity) {
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

// One line, without its line end: name, number, and the rest of the line as the remark.
static int importTextLine(const char *line)
{
    Contact contact = {};
    const char *cursor = line;
    if (nextTextField(&cursor, contact.name, sizeof contact.name) != FIELD_SEPARATOR) {
        if (contact.name[0] == '\0')
            return 0;
        return appendContact(contact);
    }
    if (contact.name[0] == '\0')
        return 0;
    if (nextTextField(&cursor, contact.number, sizeof contact.number) == FIELD_SEPARATOR) {
        size_t end = strlen(cursor);
        while (end > 0 && (cursor[end - 1] == ' ' || cursor[end - 1] == '\r'))
            end--;
        char remark[REMARK_SIZE];
        size_t length = end < sizeof remark - 1 ? end : sizeof remark - 1;
        memcpy(remark, cursor, length);
        remark[length] = '\0';
        copyText(contact.remark, sizeof contact.remark, remark);
    }
    return appendContact(contact);
}

int importTextLines(const char *text, size_t length)
{
    TextBuffer line = {};
    int appended = 0;
    for (size_t start = 0; start < length;) {
        const char *end = (const char *)memchr(text + start, '\n', length - start);
        size_t lineLength = end != nullptr ? (size_t)(end - (text + start)) : length - start;
        clearBuffer(&line);
        if (lineLength > 0 && text[start + lineLength - 1] == '\r')
            appendBytes(&line, text + start, lineLength - 1);
        else
            appendBytes(&line, text + start, lineLength);
        appended += importTextLine(bufferText(&line));
        start += lineLength + 1;
    }
    freeBuffer(&line);
    return appended;
}

int importText(const char *path)
{
    TextBuffer text = {};
    int appended = readAnsiTextFile(path, &text) ? importTextLines(bufferText(&text), text.length)
                                                 : -1;
    freeBuffer(&text);
    return appended;
}

struct TextExport {
    char separator;
    int checkedOnly;
    int withHeader;
};

static int writeField(FILE *file, const char *text, char after)
{
    return writeBytes(file, text, strlen(text)) && writeBytes(file, &after, 1);
}

static int writeTextFile(FILE *file, const void *context)
{
    const TextExport *options = (const TextExport *)context;
    char separator = options->separator;
    if (options->withHeader && !(writeField(file, "姓名", separator) &&
                                 writeField(file, "号码", separator) &&
                                 writeBytes(file, "备注\r\n", strlen("备注\r\n"))))
        return 0;
    for (const Contact *contact = firstContact; contact != nullptr; contact = contact->next) {
        if (options->checkedOnly && contact->checked != 1)
            continue;
        if (!writeField(file, contact->name, separator) ||
            !writeField(file, contact->number, separator) ||
            !writeBytes(file, contact->remark, strlen(contact->remark)) ||
            !writeBytes(file, "\r\n", 2))
            return 0;
    }
    return 1;
}

int exportText(const char *path, char separator, int checkedOnly, int withHeader)
{
    TextExport options = {separator, checkedOnly, withHeader};
    return writeFileSafely(path, writeTextFile, &options);
}
