// The ANSI side of every conversion is what mbtowc says in the locale selectAnsiLocale sets,
// so the program reads and writes exactly what the system's code page means. The runtime is
// asked once for every ANSI character, on the first conversion, and its answers are kept in
// two tables that every conversion after that reads.
#include "interchange/text_encoding.h"

#include "common/file_io.h"
#include "common/platform.h"
#include "common/text.h"
#include "common/text_buffer.h"
#include "interchange/exchange_formats.h"

#include <climits>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>

enum { TABLE_SIZE = 0x10000, LOCALE_NAME_SIZE = 128 };

// An ANSI character's code point, by its byte (0x80-0xFF) or lead byte * 256 + trail byte;
// and a code point's ANSI bytes, encoded the same way. 0 where there is none.
static uint16_t codePointOfAnsi[TABLE_SIZE];
static uint16_t ansiOfCodePoint[TABLE_SIZE];
static char tablesLocale[LOCALE_NAME_SIZE]; // the locale the tables were built in, or ""

// What the code page maps into the private use area (Windows' user-defined characters, and
// its byte 0xFF) is no character the program can show or exchange, and glibc defines none of
// it: undefined on every platform alike.
static void keepAnswer(unsigned key, const char *bytes, int width)
{
    wchar_t wide = 0;
    if (mbtowc(&wide, bytes, width) != width || wide <= 0 || (unsigned long)wide >= TABLE_SIZE ||
        (wide >= 0xE000 && wide <= 0xF8FF))
        return;
    codePointOfAnsi[key] = (uint16_t)wide;
    if (ansiOfCodePoint[wide] == 0)
        ansiOfCodePoint[wide] = (uint16_t)key;
}

static void buildTables()
{
    const char *name = setlocale(LC_CTYPE, nullptr);
    copyText(tablesLocale, sizeof tablesLocale, name != nullptr && *name != '\0' ? name : "C");
    memset(codePointOfAnsi, 0, sizeof codePointOfAnsi);
    memset(ansiOfCodePoint, 0, sizeof ansiOfCodePoint);
    mbtowc(nullptr, nullptr, 0);
    for (unsigned first = 0x80; first < 0x100; first++) {
        char bytes[3] = {(char)first, '\0', '\0'};
        if (!isLeadByte((unsigned char)first)) {
            keepAnswer(first, bytes, 1);
            continue;
        }
        for (unsigned trail = 0x40; trail < 0x100; trail++) {
            if (!isTrailByte((unsigned char)trail))
                continue;
            bytes[1] = (char)trail;
            keepAnswer(first << 8 | trail, bytes, 2);
        }
    }
}

static void ensureTables()
{
    if (tablesLocale[0] == '\0')
        buildTables();
}

bool selectAnsiLocale()
{
    platformSelectAnsiLocale();
    tablesLocale[0] = '\0'; // built again, in this locale, when next needed
    return MB_CUR_MAX >= 2;
}

bool appendUtf8(unsigned long cp, char *out, size_t size, size_t *length)
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
        return false;
    for (size_t i = 0; i < count; i++)
        out[(*length)++] = (char)bytes[i];
    out[*length] = '\0';
    return true;
}

static unsigned long ansiCodePoint(const char *ansi, size_t width)
{
    unsigned char first = (unsigned char)ansi[0];
    if (width == 1 && first < 0x80)
        return first;
    ensureTables();
    unsigned key = width == 2 ? first << 8 | (unsigned char)ansi[1] : first;
    return codePointOfAnsi[key] != 0 ? codePointOfAnsi[key] : '?';
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
    ensureTables();
    size_t length = 0;
    for (const unsigned char *at = (const unsigned char *)ansi; *at != '\0';) {
        if (*at < 0x80) { // most of a number or a Latin name
            if (length + 2 > size)
                break;
            utf8[length++] = (char)*at++;
            continue;
        }
        size_t width = characterWidth((const char *)at);
        unsigned long cp = codePointOfAnsi[width == 2 ? at[0] << 8 | at[1] : at[0]];
        if (cp >= 0x800 && cp < 0x10000 && length + 4 <= size) { // every ideograph
            utf8[length++] = (char)(0xE0 | cp >> 12);
            utf8[length++] = (char)(0x80 | ((cp >> 6) & 0x3F));
            utf8[length++] = (char)(0x80 | (cp & 0x3F));
        } else if (!appendUtf8(cp != 0 ? cp : '?', utf8, size, &length)) {
            break;
        }
        at += width;
    }
    utf8[length] = '\0';
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

// What the characters GBK lacks but phones and web pages are full of stand for: a space for
// the non-breaking one, a hyphen for the non-breaking one, a line end for Unicode's line
// and paragraph separators; nothing at all for the invisible marks of writing direction, the
// zero-width characters and a byte-order mark inside a text. Others stand for themselves.
static unsigned long plainCodePoint(unsigned long cp)
{
    static const struct {
        unsigned long first, last, plain; // 0: dropped
    } replaced[] = {
        {0xA0, 0xA0, ' '},       {0x85, 0x85, '\n'},     {0x2028, 0x2029, '\n'}, {0x2010, 0x2011, '-'},
        {0x200B, 0x200F, 0},     {0x202A, 0x202E, 0},    {0x2060, 0x2060, 0},     {0x2066, 0x2069, 0},
        {0xFEFF, 0xFEFF, 0},
    };
    if (cp > 0x2069 && cp != 0xFEFF) // every ideograph
        return cp;
    for (const auto &range : replaced)
        if (cp >= range.first && cp <= range.last)
            return range.plain;
    return cp;
}

int encodeAnsi(unsigned long cp, char bytes[MB_LEN_MAX])
{
    cp = cp >= 0x80 ? plainCodePoint(cp) : cp;
    if (cp == 0)
        return 0;
    if (cp < 0x80) {
        bytes[0] = (char)cp;
        return 1;
    }
    ensureTables();
    unsigned known = cp < TABLE_SIZE ? ansiOfCodePoint[cp] : 0;
    if (known == 0) {
        bytes[0] = '?';
        return 1;
    }
    bytes[0] = (char)(known > 0xFF ? known >> 8 : known);
    bytes[1] = (char)(known & 0xFF);
    return known > 0xFF ? 2 : 1;
}

size_t utf8ToAnsi(const char *utf8, char *ansi, size_t size)
{
    if (size == 0)
        return 0;
    size_t length = 0;
    const unsigned char *text = (const unsigned char *)utf8;
    while (*text != '\0') {
        if (*text < 0x80) { // most of a number or a Latin name
            if (length + 2 > size)
                break;
            ansi[length++] = (char)*text++;
            continue;
        }
        unsigned long cp;
        text += decodeUtf8(text, &cp);
        char bytes[MB_LEN_MAX];
        int count = encodeAnsi(cp, bytes);
        if (length + count + 1 > size)
            break;
        memcpy(ansi + length, bytes, count);
        length += count;
    }
    ansi[length] = '\0';
    return length;
}

bool isUtf8(const char *text, size_t length)
{
    const unsigned char *bytes = (const unsigned char *)text;
    for (size_t i = 0; i < length;) {
        unsigned long cp;
        size_t used = decodeUtf8(bytes + i, &cp);
        if (used == 1 && bytes[i] >= 0x80)
            return false;
        i += used;
    }
    return true;
}

// The bytes a valid sequence starting with lead would have; 0 for a byte that starts none.
static size_t utf8SequenceLength(unsigned char lead)
{
    return lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
         : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
}

// What the non-ASCII bytes of a text hold, read as UTF-8.
struct Utf8Counts {
    size_t strong;   // sequences of three or four bytes (every ideograph is one)
    size_t latin;    // two-byte accented Latin letters (U+00C0-U+017F) in runs beside an ASCII letter
    size_t other;    // any other two-byte sequence, and Latin runs beside no letter
    size_t invalid;  // what is no valid sequence: a lead byte cut short, with what it has, or a stray byte
};

static bool isAsciiLetter(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Counts the text's sequences in one pass, ASCII passed over quickly. Once the text holds
// more invalid bytes than the rest of it could outweigh (and more than a short value holds),
// it is no UTF-8: the count stops there, and GBK files stop early.
// Where the run of ASCII bytes from at ends, eight bytes at a time.
static size_t asciiRunEnd(const unsigned char *bytes, size_t at, size_t length)
{
    for (uint64_t eight; at + 8 <= length; at += 8) {
        memcpy(&eight, bytes + at, 8);
        if (eight & 0x8080808080808080u)
            break;
    }
    while (at < length && bytes[at] < 0x80)
        at++;
    return at;
}

static Utf8Counts countUtf8(const unsigned char *bytes, size_t length)
{
    Utf8Counts counts = {};
    size_t run = 0;                            // Latin letters in the current run
    bool runBesideLetter = false, afterLetter = false;
    for (size_t i = 0; i < length;) {
        if (bytes[i] < 0x80) {
            if (run > 0) // a run ends: it proves something only beside a letter
                (runBesideLetter || isAsciiLetter(bytes[i]) ? counts.latin : counts.other) += run;
            run = 0;
            i = asciiRunEnd(bytes, i, length);
            afterLetter = isAsciiLetter(bytes[i - 1]);
            continue;
        }
        unsigned long cp;
        size_t used = decodeUtf8(bytes + i, &cp);
        // The letters of Western, Central and Northern European names; further ones (GBK
        // makes them of common ideographs such as 群 and 强) prove nothing.
        bool latin = used == 2 && cp >= 0xC0 && cp <= 0x17F && cp != 0xD7 && cp != 0xF7;
        if (!latin && run > 0) {
            (runBesideLetter ? counts.latin : counts.other) += run;
            run = 0;
        }
        if (latin) {
            runBesideLetter = run == 0 ? afterLetter : runBesideLetter;
            run++;
        } else if (used == 2) {
            counts.other++;
        } else if (used >= 3) {
            // The three-byte form earlier versions of this program wrote proves nothing.
            counts.strong += !(bytes[i] == 0xE0 && bytes[i + 1] < 0xA0);
        } else {
            counts.invalid++;
            size_t expected = utf8SequenceLength(bytes[i]);
            while (used < expected && i + used < length && (bytes[i + used] & 0xC0) == 0x80)
                used++;
        }
        afterLetter = false;
        i += used;
        // A text this broken can no longer be UTF-8; many such bytes early on, with little
        // UTF-8 among them, are taken for the text's own code page.
        size_t proof = counts.strong + counts.latin + run;
        if ((counts.invalid >= 16 && counts.invalid * 2 > proof + (length - i) / 2) ||
            (counts.invalid >= 1024 && counts.invalid > 4 * proof))
            break;
    }
    (runBesideLetter ? counts.latin : counts.other) += run;
    return counts;
}

Utf8Evidence utf8Evidence(const char *text, size_t length)
{
    Utf8Counts counts = countUtf8((const unsigned char *)text, length);
    bool latinOnly = counts.latin > 0 && counts.other == 0;
    if (counts.invalid == 0)
        return counts.strong > 0 || latinOnly ? UTF8 : MAYBE_UTF8;
    // A stray byte or a character cut short in UTF-8 text: the rest of it still proves it.
    size_t proof = counts.strong >= 2 ? counts.strong : latinOnly ? counts.latin : 0;
    if (proof >= 2 && counts.invalid * 2 <= proof)
        return UTF8;
    return counts.strong > 0 || counts.latin > 0 ? BROKEN_UTF8 : NOT_UTF8;
}

enum ByteOrder { NOT_UTF16, UTF16_LE, UTF16_BE };

static bool isStructureByte(unsigned char c)
{
    return c == '\n' || c == '\r' || c == ',' || c == ';' || c == '\t' || c == ':';
}

// Which byte order a file without a mark has. UTF-16 comes in whole code units, so its
// length is even; ASCII text (every number, separator and line end) puts NUL bytes in one
// half of its units, and its line ends and separators are whole units ("\n\0" little-endian,
// "\0\n" big-endian). A NUL or two in UTF-8 or ANSI text is no such evidence.
static ByteOrder guessUtf16(const unsigned char *bytes, size_t length)
{
    if (length % 2 != 0 || memchr(bytes, 0, length) == nullptr)
        return NOT_UTF16;
    size_t little = 0, big = 0, lowZeros = 0, highZeros = 0;
    for (size_t i = 0; i + 1 < length; i += 2) {
        little += bytes[i + 1] == 0 && isStructureByte(bytes[i]);
        big += bytes[i] == 0 && isStructureByte(bytes[i + 1]);
        lowZeros += bytes[i] == 0;
        highZeros += bytes[i + 1] == 0;
    }
    size_t units = length / 2;
    if (little > big && highZeros * 8 >= units && highZeros > lowZeros)
        return UTF16_LE;
    if (big > little && lowZeros * 8 >= units && lowZeros > highZeros)
        return UTF16_BE;
    return NOT_UTF16;
}

static unsigned long utf16Unit(const unsigned char *bytes, ByteOrder order)
{
    return order == UTF16_LE ? bytes[0] | bytes[1] << 8 : bytes[0] << 8 | bytes[1];
}

// UTF-16 to UTF-8; a surrogate without its other half becomes U+FFFD. False out of memory.
static bool convertUtf16(TextBuffer *file, size_t start, ByteOrder order)
{
    const unsigned char *bytes = (const unsigned char *)bufferText(file);
    size_t length = file->length;
    TextBuffer utf8 = {};
    if (!appendBytes(&utf8, "", 0))
        return false;
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
            return false;
        }
    }
    freeBuffer(file);
    *file = utf8;
    return true;
}

// The byte order a UTF-16 byte-order mark at the start says; NOT_UTF16 without one.
static ByteOrder utf16Mark(const unsigned char *bytes, size_t length)
{
    if (length >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        return UTF16_LE;
    return length >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF ? UTF16_BE : NOT_UTF16;
}

bool convertMarkedUtf16(TextBuffer *text)
{
    ByteOrder order = utf16Mark((const unsigned char *)bufferText(text), text->length);
    return order == NOT_UTF16 || convertUtf16(text, 2, order);
}

static bool startsWithMark(const TextBuffer *file, size_t at)
{
    return at + 2 < file->length && memcmp(file->data + at, "\xEF\xBB\xBF", 3) == 0;
}

static bool hasLineMark(const TextBuffer *file)
{
    const char *text = file->data;
    for (const char *at = text; (at = (const char *)memchr(at, '\xEF', file->length - (at - text))) != nullptr; at++) {
        size_t offset = (size_t)(at - text);
        if ((offset == 0 || text[offset - 1] == '\n' || text[offset - 1] == '\r') &&
            startsWithMark(file, offset))
            return true;
    }
    return false;
}

// A UTF-8 byte-order mark at the start of any line (files joined with copy /b) is dropped,
// and a NUL byte is read as a space, so nothing after it is lost.
static void dropMarksAndNuls(TextBuffer *file)
{
    char *text = file->data;
    if (file->length == 0 || (memchr(text, '\0', file->length) == nullptr && !hasLineMark(file)))
        return;
    size_t kept = 0;
    char previous = '\n';
    for (size_t i = 0; i < file->length; i++) {
        bool lineStart = previous == '\n' || previous == '\r';
        if (lineStart && startsWithMark(file, i)) {
            i += 2;
            continue;
        }
        previous = text[i];
        text[kept++] = text[i] == '\0' ? ' ' : text[i];
    }
    file->length = kept;
    text[kept] = '\0';
}

// The first bytes of the files people mistake for contact lists: archives (an Excel or Word
// document is a zip), old Office documents, PDF and pictures.
static bool hasBinarySignature(const unsigned char *bytes, size_t length)
{
    static const struct {
        const char *bytes;
        size_t length;
    } signatures[] = {
        {"PK\x03\x04", 4}, {"PK\x05\x06", 4}, {"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8}, {"%PDF-", 5},
        {"\x89PNG", 4},    {"\xFF\xD8\xFF", 3}, {"GIF8", 4}, {"Rar!", 4}, {"7z\xBC\xAF", 4},
        {"\x1F\x8B", 2},
    };
    for (const auto &signature : signatures)
        if (length >= signature.length && memcmp(bytes, signature.bytes, signature.length) == 0)
            return true;
    return false;
}

enum { BINARY_EVIDENCE_BYTES = 65536 };

// Control bytes that no text holds more than by accident: all below 0x20 but TAB, LF, VT, FF,
// CR and the SUB that old editors put at the end; NUL among them, but not the NULs some
// tools pad a file's end with. A binary file shows itself in its first 64 KB.
static bool hasStrayControlBytes(const unsigned char *bytes, size_t length)
{
    while (length > 0 && bytes[length - 1] == 0)
        length--;
    if (length > BINARY_EVIDENCE_BYTES)
        length = BINARY_EVIDENCE_BYTES;
    size_t controls = 0;
    for (size_t i = 0; i < length; i++)
        controls += bytes[i] < 0x20 && (bytes[i] < '\t' || bytes[i] > '\r') && bytes[i] != 0x1A;
    return controls >= 3 && controls * 20 > length;
}

TextKind prepareTextFile(TextBuffer *file)
{
    const unsigned char *bytes = (const unsigned char *)bufferText(file);
    size_t length = file->length;
    if (hasBinarySignature(bytes, length))
        return TEXT_NOT_TEXT;
    bool marked = length >= 3 && memcmp(bytes, "\xEF\xBB\xBF", 3) == 0;
    ByteOrder order = utf16Mark(bytes, length);
    size_t start = order != NOT_UTF16 ? 2 : 0;
    if (order == NOT_UTF16 && !marked)
        order = guessUtf16(bytes, length);
    if (order != NOT_UTF16 && !convertUtf16(file, start, order))
        return TEXT_NO_MEMORY;
    if (hasStrayControlBytes((const unsigned char *)bufferText(file), file->length))
        return TEXT_NOT_TEXT;
    dropMarksAndNuls(file);
    if (marked || order != NOT_UTF16)
        return TEXT_UNICODE;
    Utf8Evidence evidence = utf8Evidence(bufferText(file), file->length);
    return evidence == UTF8 ? TEXT_UTF8 : evidence == MAYBE_UTF8 ? TEXT_MAYBE_UTF8 : TEXT_ANSI;
}

bool isUtf8Kind(TextKind kind)
{
    return kind == TEXT_UNICODE || kind == TEXT_UTF8;
}

int readTextFile(const char *path, TextBuffer *file, TextKind *kind)
{
    WholeFileRead read = readWholeFile(path, file);
    *kind = read == WHOLE_FILE_READ ? prepareTextFile(file) : TEXT_NOT_TEXT;
    if (read == WHOLE_FILE_NO_MEMORY || *kind == TEXT_NO_MEMORY)
        return READ_NO_MEMORY;
    return read == WHOLE_FILE_UNREADABLE || *kind == TEXT_NOT_TEXT ? READ_CANNOT_OPEN : 0;
}

int readAnsiTextFile(const char *path, TextBuffer *text)
{
    TextBuffer file = {};
    TextKind kind;
    int result = readTextFile(path, &file, &kind);
    if (result != 0) {
        freeBuffer(&file);
        return result;
    }
    if (isUtf8Kind(kind)) // ANSI is never longer than the UTF-8 it comes from
        file.length = utf8ToAnsi(bufferText(&file), file.data, file.length + 1);
    freeBuffer(text);
    *text = file;
    return 0;
}
