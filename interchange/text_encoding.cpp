// The ANSI side of every conversion goes through mbtowc in the locale selectAnsiLocale sets,
// so the program reads and writes exactly what the system's code page means.
#include "interchange/text_encoding.h"

#include "common/text.h"

#include <climits>
#include <clocale>
#include <cstdlib>
#include <cstring>
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

// Decodes one UTF-8 sequence at text; returns its length and the code point, or length 1
// and 0xFFFD for a byte that does not start a valid, shortest-form sequence.
static size_t decodeUtf8(const unsigned char *text, unsigned long *cp)
{
    static const unsigned long minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    size_t length = text[0] < 0x80 ? 1 : text[0] >= 0xF0 && text[0] <= 0xF4 ? 4
                  : text[0] >= 0xE0 ? 3 : text[0] >= 0xC2 && text[0] < 0xE0 ? 2 : 0;
    if (length == 0) {
        *cp = 0xFFFD;
        return 1;
    }
    unsigned long value = length == 1 ? text[0] : text[0] & (0x7F >> length);
    for (size_t i = 1; i < length; i++) {
        if ((text[i] & 0xC0) != 0x80) {
            *cp = 0xFFFD;
            return 1;
        }
        value = value << 6 | (text[i] & 0x3F);
    }
    bool valid = value >= minimum[length] && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
    *cp = valid ? value : 0xFFFD;
    return valid ? length : 1;
}

// The ANSI bytes of one code point, or "?" when the code page has no such character.
static int ansiCharacter(unsigned long cp, char bytes[MB_LEN_MAX])
{
    int length = -1;
    if (cp != 0xFFFD && cp <= (unsigned long)WCHAR_MAX && (sizeof(wchar_t) > 2 || cp < 0x10000))
        length = wctomb(bytes, (wchar_t)cp);
    if (length <= 0) {
        bytes[0] = '?';
        length = 1;
    }
    return length;
}

size_t utf8ToAnsi(const char *utf8, char *ansi, size_t size)
{
    if (size == 0)
        return 0;
    size_t length = 0;
    const unsigned char *text = (const unsigned char *)utf8;
    wctomb(nullptr, 0);
    while (*text != '\0') {
        unsigned long cp;
        text += decodeUtf8(text, &cp);
        char bytes[MB_LEN_MAX];
        int count = ansiCharacter(cp, bytes);
        if (length + count + 1 > size)
            break;
        memcpy(ansi + length, bytes, count);
        length += count;
    }
    ansi[length] = '\0';
    return length;
}
