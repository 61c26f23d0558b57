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

size_t decodeAnsi(const char *ansi, unsigned long *cp)
{
    size_t width = characterWidth(ansi);
    *cp = ansiCodePoint(ansi, width);
    return width;
}

size_t ansiToUtf8(const char *ansi, char *utf8, size_t size)
{
    if (size == 0)
        return 0;
    size_t length = 0;
    utf8[0] = '\0';
    mbtowc(nullptr, nullptr, 0);
    while (*ansi != '\0') {
        unsigned long cp;
        size_t width = decodeAnsi(ansi, &cp);
        if (!appendUtf8(cp, utf8, size, &length))
            break;
        ansi += width;
    }
    return length;
}

size_t decodeUtf8(const unsigned char *text, unsigned long *cp)
{
    static const unsigned long minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    size_t length = text[0] < 0x80 ? 1 : text[0] >= 0xF0 && text[0] <= 0xF4 ? 4
                  : text[0] >= 0xE0 && text[0] < 0xF0 ? 3 : text[0] >= 0xC2 && text[0] < 0xE0 ? 2 : 0;
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

int looksLikeUtf8(const char *text, size_t length)
{
    if (!isUtf8(text, length))
        return 0;
    const unsigned char *bytes = (const unsigned char *)text;
    bool inRun = false, runBesideLetter = false, afterLetter = false;
    for (size_t i = 0; i < length;) {
        unsigned long cp;
        size_t used = decodeUtf8(bytes + i, &cp);
        i += used;
        if (used >= 3)
            return 1;
        if (used == 2) {
            if (cp < 0xC0 || cp > 0x24F || cp == 0xD7 || cp == 0xF7)
                return 0;
            if (!inRun)
                runBesideLetter = afterLetter;
            inRun = true;
            continue;
        }
        bool letter = (cp >= 'A' && cp <= 'Z') || (cp >= 'a' && cp <= 'z');
        if (inRun && !runBesideLetter && !letter)
            return 0;
        inRun = false;
        afterLetter = letter;
    }
    return !inRun || runBesideLetter;
}

static bool isStructureByte(unsigned char c)
{
    return c == '\n' || c == '\r' || c == ',' || c == ';' || c == '\t' || c == ':';
}

// Which byte order a file without a mark has: UTF-16 has NUL bytes, and its line ends and
// separators are whole code units ("\n\0" little-endian, "\0\n" big-endian) at even offsets,
// whatever the share of ASCII. 1 little-endian, 2 big-endian, 0 not UTF-16.
static int guessUtf16(const unsigned char *bytes, size_t length)
{
    if (memchr(bytes, 0, length) == nullptr)
        return 0;
    size_t little = 0, big = 0;
    for (size_t i = 0; i + 1 < length; i += 2) {
        little += bytes[i + 1] == 0 && isStructureByte(bytes[i]);
        big += bytes[i] == 0 && isStructureByte(bytes[i + 1]);
    }
    return little > big ? 1 : big > little ? 2 : 0;
}

static unsigned long utf16Unit(const unsigned char *bytes, int order)
{
    return order == 1 ? bytes[0] | bytes[1] << 8 : bytes[0] << 8 | bytes[1];
}

// UTF-16 to UTF-8; a surrogate without its other half becomes U+FFFD. 0 out of memory.
static int convertUtf16(TextBuffer *file, size_t start, int order)
{
    const unsigned char *bytes = (const unsigned char *)bufferText(file);
    size_t length = file->length;
    TextBuffer utf8 = {};
    appendBytes(&utf8, "", 0);
    for (size_t i = start; i + 1 < length; i += 2) {
        unsigned long unit = utf16Unit(bytes + i, order);
        if (unit >= 0xD800 && unit < 0xE000) {
            unsigned long low = i + 3 < length ? utf16Unit(bytes + i + 2, order) : 0;
            bool pair = unit < 0xDC00 && low >= 0xDC00 && low < 0xE000;
            unit = pair ? 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00) : 0xFFFD;
            i += pair ? 2 : 0;
        }
        char encoded[8];
        size_t used = 0;
        appendUtf8(unit, encoded, sizeof encoded, &used);
        if (!appendBytes(&utf8, encoded, used)) {
            freeBuffer(&utf8);
            return 0;
        }
    }
    freeBuffer(file);
    *file = utf8;
    return 1;
}

// A UTF-8 byte-order mark at the start of any line (files joined with copy /b) is dropped,
// and a NUL byte is read as a space, so nothing after it is lost.
static void dropMarksAndNuls(TextBuffer *file)
{
    char *text = file->data;
    size_t kept = 0;
    char previous = '\n';
    for (size_t i = 0; i < file->length; i++) {
        bool lineStart = previous == '\n' || previous == '\r';
        if (lineStart && i + 2 < file->length && memcmp(text + i, "\xEF\xBB\xBF", 3) == 0) {
            i += 2;
            continue;
        }
        previous = text[i];
        text[kept++] = text[i] == '\0' ? ' ' : text[i];
    }
    file->length = kept;
    if (text != nullptr)
        text[kept] = '\0';
}

int normalizeTextFile(TextBuffer *file)
{
    const unsigned char *bytes = (const unsigned char *)bufferText(file);
    size_t length = file->length;
    int kind = UNKNOWN_TEXT, order = 0;
    size_t start = 0;
    if (length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        kind = UNICODE_TEXT;
    else if (length >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        order = 1, start = 2;
    else if (length >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF)
        order = 2, start = 2;
    else
        order = guessUtf16(bytes, length);
    if (order != 0) {
        if (!convertUtf16(file, start, order))
            return 0;
        kind = UNICODE_TEXT;
    }
    dropMarksAndNuls(file);
    return kind;
}
