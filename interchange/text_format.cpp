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
    if (kind == UNICODE_TEXT || (nonAscii && looksLikeUtf8(bufferText(&file), file.length))) {
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
    bool full = false; // once a character did not fit, nothing after it is kept
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
        size_t width = characterWidth(at);
        if (width == 1 && !isFieldByte(c)) {
            end = FIELD_SEPARATOR;
            at++;
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

// One line, without its line end: name, number, and the rest of the line as the remark. A
// line that starts with a separator has an empty name; a line with nothing in any field
// adds nothing.
static int importTextLine(const char *line)
{
    Contact contact = {};
    const char *cursor = line;
    if (nextTextField(&cursor, contact.name, sizeof contact.name) == FIELD_SEPARATOR &&
        nextTextField(&cursor, contact.number, sizeof contact.number) == FIELD_SEPARATOR)
        copyField(contact.remark, sizeof contact.remark, cursor);
    if (contact.name[0] == '\0' && contact.number[0] == '\0' && contact.remark[0] == '\0')
        return 0;
    return appendContact(contact);
}

// The header line this program's own export writes, with either separator.
static bool isExportHeader(const char *line)
{
    return strcmp(line, "姓名 号码 备注") == 0 || strcmp(line, "姓名,号码,备注") == 0;
}

int importTextLines(const char *text, size_t length)
{
    TextBuffer line = {};
    int appended = 0;
    for (size_t start = 0; start < length;) {
        size_t lineLength = 0;
        while (start + lineLength < length && text[start + lineLength] != '\n' &&
               text[start + lineLength] != '\r')
            lineLength++;
        clearBuffer(&line);
        appendBytes(&line, text + start, lineLength);
        if (start > 0 || !isExportHeader(bufferText(&line)))
            appended += importTextLine(bufferText(&line));
        start += lineLength;
        if (start < length && text[start] == '\r' && start + 1 < length && text[start + 1] == '\n')
            start += 2;
        else if (start < length)
            start++;
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
