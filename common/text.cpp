// Bounded, double-byte-safe text helpers. Every cut of a text to a field or buffer goes
// through fitLength, so no cut anywhere leaves a lone lead byte behind.
#include "common/text.h"

#include "common/platform.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

size_t fitLength(const char *text, size_t maxLength)
{
    size_t i = 0;
    while (i < maxLength && text[i] != '\0') {
        size_t width = isLeadByte((unsigned char)text[i]) ? 2 : 1;
        if (i + width > maxLength || (width == 2 && text[i + 1] == '\0'))
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
    int written = vsnprintf(dst, dstSize, format, args);
    va_end(args);
    if (written >= 0 && (size_t)written < dstSize)
        return (size_t)written;
    // Cut: C99 runtimes terminate the text, the old Windows runtime reports -1 and may not.
    dst[dstSize - 1] = '\0';
    size_t length = fitLength(dst, dstSize - 1);
    dst[length] = '\0';
    return length;
}

void terminateField(char *field, size_t width)
{
    if (width == 0 || memchr(field, '\0', width) != nullptr)
        return;
    field[fitLength(field, width - 1)] = '\0';
}

static char upperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c;
}

int compareIgnoringCase(const char *a, const char *b)
{
    for (; *a != '\0' && *b != '\0'; a++, b++)
        if (upperAscii(*a) != upperAscii(*b))
            break;
    return (unsigned char)upperAscii(*a) - (unsigned char)upperAscii(*b);
}

bool equalsIgnoringCase(const char *a, const char *b)
{
    return compareIgnoringCase(a, b) == 0;
}

enum { TRIMMED_LINE_MAX = 399 };

void trimLine(char *line)
{
    size_t end = strlen(line);
    while (end > 0 && (line[end - 1] == ' ' || line[end - 1] == '\n'))
        end--;
    line[end] = '\0';
    if (end > TRIMMED_LINE_MAX)
        line[fitLength(line, TRIMMED_LINE_MAX)] = '\0';
    size_t start = 0;
    while (line[start] == ' ')
        start++;
    if (start > 0)
        memmove(line, line + start, strlen(line + start) + 1);
}

bool isLeadByte(unsigned char c)
{
    return platformIsLeadByte(c);
}
