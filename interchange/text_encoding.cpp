// The ANSI side of every conversion goes through mbtowc in the locale selectAnsiLocale sets,
// so the program reads and writes exactly what the system's code page means. Each character
// is asked for once: the answers are kept in two tables, for as long as the locale stays.
#include "interchange/text_encoding.h"

#include "common/text.h"
#include "common/text_buffer.h"

#include <climits>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>

enum { TABLE_SIZE = 0x10000, LOCALE_NAME_SIZE = 128 };

// A double-byte character's code point, by lead byte * 256 + trail byte; and a code point's
// ANSI bytes, one (below 0x100) or lead byte * 256 + trail byte. 0 while not yet known.
static uint16_t codePointOfAnsi[TABLE_SIZE];
static uint16_t ansiOfCodePoint[TABLE_SIZE];
static char tablesLocale[LOCALE_NAME_SIZE];

static void keepTablesForCurrentLocale()
{
    const char *name = setlocale(LC_CTYPE, nullptr);
    if (name != nullptr && strcmp(name, tablesLocale) == 0)
        return;
    memset(codePointOfAnsi, 0, sizeof codePointOfAnsi);
    memset(ansiOfCodePoint, 0, sizeof ansiOfCodePoint);
    copyText(tablesLocale, sizeof tablesLocale, name != nullptr ? name : "");
}

int selectAnsiLocale()
{
#ifdef _WIN32
    setlocale(LC_ALL, "");
#else
    if (setlocale(LC_ALL, "zh_CN.GBK") == nullptr && setlocale(LC_ALL, "zh_CN.gbk") == nullptr)
        setlocale(LC_ALL, "");
#endif
    keepTablesForCurrentLocale();
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

static unsigned long ansiCodePoint(const char *ansi, size_t width)
{
    unsigned char first = (unsigned char)ansi[0];
    if (width == 1 && first < 0x80)
        return first;
    unsigned key = width == 2 ? first << 8 | (unsigned char)ansi[1] : 0;
    if (key != 0 && codePointOfAnsi[key] != 0)
        return codePointOfAnsi[key];
    wchar_t wide = 0;
    if (mbtowc(&wide, ansi, width) != (int)width)
        return 0xFFFD;
    if (key != 0 && wide > 0 && (unsigned long)wide < TABLE_SIZE)
        codePointOfAnsi[key] = (uint16_t)wide;
    return (unsigned long)wide;
}

size_t ansiToUtf8(const char *ansi, char *utf8, size_t size)
{
    if (size == 0)
        return 0;
    size_t length = 0;
    utf8[0] = '\0';
    mbtowc(nullptr, nullptr, 0);
    while (*ansi != '\0') {
        size_t width = characterWidth(ansi);
        if (!appendUtf8(ansiCodePoint(ansi, width), utf8, size, &length))
            break;
        ansi += width;
    }
    return length;
}

size_t decodeUtf8(const unsigned char *text, unsigned long *cp)
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
    // Earlier versions of this program wrote U+0080 to U+07FF in three bytes; still read them.
    bool earlierForm = length == 3 && value >= 0x80;
    bool valid = (value >= minimum[length] || earlierForm) && value <= 0x10FFFF &&
                 (value < 0xD800 || value > 0xDFFF);
    *cp = valid ? value : 0xFFFD;
    return valid ? length : 1;
}

int ansiCharacter(unsigned long cp, char bytes[MB_LEN_MAX])
{
    if (cp > 0 && cp < 0x80) {
        bytes[0] = (char)cp;
        return 1;
    }
    unsigned known = cp < TABLE_SIZE ? ansiOfCodePoint[cp] : 0;
    if (known != 0) {
        bytes[0] = (char)(known > 0xFF ? known >> 8 : known);
        bytes[1] = (char)(known & 0xFF);
        return known > 0xFF ? 2 : 1;
    }
    int length = -1;
    if (cp != 0xFFFD && cp <= (unsigned long)WCHAR_MAX && (sizeof(wchar_t) > 2 || cp < 0x10000))
        length = wctomb(bytes, (wchar_t)cp);
    if (length <= 0) {
        bytes[0] = '?';
        return 1;
    }
    if (cp < TABLE_SIZE && length <= 2)
        ansiOfCodePoint[cp] = (uint16_t)(length == 2 ? (unsigned char)bytes[0] << 8 | (unsigned char)bytes[1]
                                                     : (unsigned char)bytes[0]);
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

int isUtf8(const char *text, size_t length)
{
    const unsigned char *bytes = (const unsigned char *)text;
    for (size_t i = 0; i < length;) {
        unsigned long cp;
        size_t used = decodeUtf8(bytes + i, &cp);
        if (used == 1 && bytes[i] >= 0x80)
            return 0;
        if (used == 3 && bytes[i] == 0xE0 && bytes[i + 1] < 0xA0)
            return 0; // the earlier three-byte form is read, but is no proof of UTF-8
        i += used;
    }
    return 1;
}

// Which byte order a file without a mark has, judged by where its NUL bytes fall:
// 1 little-endian, 2 big-endian, 0 not UTF-16.
static int guessUtf16(const unsigned char *bytes, size_t length)
{
    size_t sample = length < 512 ? length & ~(size_t)1 : 512;
    size_t evenZeros = 0, oddZeros = 0;
    for (size_t i = 0; i < sample; i += 2) {
        evenZeros += bytes[i] == 0;
        oddZeros += bytes[i + 1] == 0;
    }
    if (sample < 4)
        return 0;
    if (oddZeros * 2 > sample / 2 && evenZeros == 0)
        return 1;
    if (evenZeros * 2 > sample / 2 && oddZeros == 0)
        return 2;
    return 0;
}

int normalizeTextFile(TextBuffer *file)
{
    const unsigned char *bytes = (const unsigned char *)bufferText(file);
    size_t length = file->length;
    int order = 0;
    size_t start = 0;
    if (length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        memmove(file->data, file->data + 3, length - 3 + 1);
        file->length -= 3;
        return UNICODE_TEXT;
    }
    if (length >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        order = 1, start = 2;
    else if (length >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF)
        order = 2, start = 2;
    else
        order = guessUtf16(bytes, length);
    if (order == 0)
        return UNKNOWN_TEXT;
    TextBuffer utf8 = {};
    for (size_t i = start; i + 1 < length; i += 2) {
        unsigned long unit = order == 1 ? bytes[i] | bytes[i + 1] << 8 : bytes[i] << 8 | bytes[i + 1];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < length) {
            unsigned long low = order == 1 ? bytes[i + 2] | bytes[i + 3] << 8
                                           : bytes[i + 2] << 8 | bytes[i + 3];
            if (low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        char encoded[8];
        size_t used = 0;
        appendUtf8(unit == 0 ? 0xFFFD : unit, encoded, sizeof encoded, &used);
        if (!appendBytes(&utf8, encoded, used)) {
            freeBuffer(&utf8);
            return 0;
        }
    }
    freeBuffer(file);
    *file = utf8;
    return UNICODE_TEXT;
}
