// The ANSI side of every conversion goes through mbtowc in the locale selectAnsiLocale sets,
// so the program reads and writes exactly what the system's code page means.
#include "interchange/text_encoding.h"

#include "common/text.h"

#include <clocale>
#include <cstdlib>
#include <cwchar>

int selectAnsiLocale()
{
#ifdef _WIN32
    setlocale(LC_ALL, "");
#else
    if (setlocale(LC_ALL, "zh_CN.GBK") == nullptr && setlocale(LC_ALL, "zh_CN.gbk") == nullptr)
        setlocale(LC_ALL, "");
#endif
    return MB_CUR_MAX >= 2 ? 1 : 0;
}

int appendUtf8(unsigned long cp, char *out, size_t size, size_t *length)
{
    unsigned char bytes[4];
    size_t count;
    if (cp < 0x80) {
        bytes[0] = (unsigned char)cp;
        count = 1;
    } else if (cp < 0x800) {
        bytes[0] = (unsigned char)(0xC0 | cp >> 6);
        bytes[1] = (unsigned char)(0x80 | (cp & 0x3F));
        count = 2;
    } else if (cp < 0x10000) {
        bytes[0] = (unsigned char)(0xE0 | cp >> 12);
        bytes[1] = (unsigned char)(0x80 | ((cp >> 6) & 0x3F));
        bytes[2] = (unsigned char)(0x80 | (cp & 0x3F));
        count = 3;
    } else {
        bytes[0] = (unsigned char)(0xF0 | cp >> 18);
        bytes[1] = (unsigned char)(0x80 | ((cp >> 12) & 0x3F));
        bytes[2] = (unsigned char)(0x80 | ((cp >> 6) & 0x3F));
        bytes[3] = (unsigned char)(0x80 | (cp & 0x3F));
        count = 4;
    }
    if (*length + count + 1 > size)
        return 0;
    for (size_t i = 0; i < count; i++)
        out[(*length)++] = (char)bytes[i];
    out[*length] = '\0';
    return 1;
}

size_t ansiToUtf8(const char *ansi, char *utf8, size_t size)
{
    if (size == 0)
        return 0;
    size_t length = 0;
    utf8[0] = '\0';
    mbtowc(nullptr, nullptr, 0);
    while (*ansi != '\0') {
        size_t width = (isLeadByte((unsigned char)ansi[0]) && ansi[1] != '\0') ? 2 : 1;
        wchar_t wide = 0;
        unsigned long cp = mbtowc(&wide, ansi, width) == (int)width ? (unsigned long)wide : 0xFFFD;
        if (!appendUtf8(cp, utf8, size, &length))
            break;
        ansi += width;
    }
    return length;
}
