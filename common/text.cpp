// Bounded, double-byte-safe text helpers. Every cut of a text to a field or buffer goes
// through fitLength, so no cut anywhere splits a character.
#include "common/text.h"

#include "common/platform.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

size_t fitLength(const char *text, size_t maxLength)
{
    size_t i = 0;
    while (i < maxLength && text[i] != '\0') {
        size_t width = characterWidth(text + i);
        if (i + width > maxLength)
            break;
        i += width;
    }
    return i;
}

size_t copyText(char *dst, size_t dstSize, const char *src)
{
    if (dstSize == 0)
        return 0;
    size_t length = fitLength(src, dstSize - 1);
    memmove(dst, src, length);
    dst[length] = '\0';
    return length;
}

size_t formatText(char *dst, size_t dstSize, const char *format, ...)
{
    if (dstSize == 0)
        return 0;
    va_list args;
    va_start(args, format);
    int written = platformFormat(dst, dstSize, format, args);
    va_end(args);
    if (written >= 0 && (size_t)written < dstSize)
        return (size_t)written;
    // Cut: C99 runtimes terminate the text, the old Windows runtime reports -1 and may not.
    // A lead byte the cut left at the end had its trail byte cut off.
    dst[dstSize - 1] = '\0';
    size_t length = fitLength(dst, dstSize - 1), last = 0;
    for (size_t i = 0; i < length; i += characterWidth(dst + i))
        last = i;
    if (length > 0 && last == length - 1 && isLeadByte((unsigned char)dst[last]))
        length--;
    dst[length] = '\0';
    return length;
}

void terminateField(char *field, size_t width)
{
    if (width == 0 || memchr(field, '\0', width) != nullptr)
        return;
    field[fitLength(field, width - 1)] = '\0';
}

int compareIgnoringCase(const char *a, const char *b)
{
    // Equal bytes up to here mean equal characters, so a's widths hold for b: a trail byte
    // is compared as it is, never folded.
    while (*a != '\0' && *b != '\0') {
        size_t width = characterWidth(a);
        int difference = width == 1 ? (unsigned char)upperAscii(*a) - (unsigned char)upperAscii(*b)
                                    : memcmp(a, b, 2);
        if (difference != 0)
            return difference;
        a += width;
        b += width;
    }
    return (unsigned char)upperAscii(*a) - (unsigned char)upperAscii(*b);
}

bool equalsIgnoringCase(const char *a, const char *b)
{
    return compareIgnoringCase(a, b) == 0;
}

// The lead-byte test runs for every byte of every search and conversion: a table, filled
// before main from the system's answers.
struct LeadByteTable {
    bool lead[256];
    LeadByteTable()
    {
        for (int c = 0; c < 256; c++)
            lead[c] = platformIsLeadByte((unsigned char)c);
    }
};
static const LeadByteTable leadByteTable;
const bool *const leadBytes = leadByteTable.lead;

static bool isControlByte(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

// A space, a control byte (it is shown as a space) or the ideographic space.
static bool isBlankAt(const char *text)
{
    unsigned char c = (unsigned char)*text;
    return c <= ' ' || c == 0x7F || (c == 0xA1 && (unsigned char)text[1] == 0xA1);
}

void copyField(char *field, size_t size, const char *value)
{
    if (size == 0)
        return;
    while (*value != '\0' && isBlankAt(value))
        value += characterWidth(value);
    size_t length = 0, kept = 0; // kept: the length up to the last character that is no blank
    while (*value != '\0') {
        unsigned char c = (unsigned char)*value;
        if (c > ' ' && c < 0x7F) { // the usual byte, copied as it is
            if (length + 2 > size)
                break;
            field[length++] = *value++;
            kept = length;
            continue;
        }
        size_t width = characterWidth(value);
        if (length + width + 1 > size)
            break;
        bool blank = isBlankAt(value);
        if (isControlByte(c)) {
            field[length++] = ' ';
            value += value[0] == '\r' && value[1] == '\n' ? 2 : 1;
            continue;
        }
        field[length] = value[0];
        field[length + width - 1] = value[width - 1];
        length += width;
        value += width;
        if (!blank)
            kept = length;
    }
    field[kept] = '\0';
}

size_t lineEndLength(const char *text, size_t length, size_t at)
{
    if (at >= length || (text[at] != '\r' && text[at] != '\n'))
        return 0;
    if (text[at] == '\n')
        return 1;
    if (at + 1 < length && text[at + 1] == '\n')
        return 2;
    // Some old Windows tools wrote CR CR LF: one line end, not an empty line.
    return at + 2 < length && text[at + 1] == '\r' && text[at + 2] == '\n' ? 3 : 1;
}

bool nextLine(const char *text, size_t length, size_t *position, const char **line,
              size_t *lineLength)
{
    size_t start = *position;
    if (start >= length)
        return false;
    const char *newline = (const char *)memchr(text + start, '\n', length - start);
    size_t end = newline != nullptr ? (size_t)(newline - text) : length;
    const char *carriageReturn = (const char *)memchr(text + start, '\r', end - start);
    if (carriageReturn != nullptr)
        end = (size_t)(carriageReturn - text);
    *line = text + start;
    *lineLength = end - start;
    *position = end + lineEndLength(text, length, end);
    return true;
}
