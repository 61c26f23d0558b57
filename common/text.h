// Small text helpers shared by every part of the program. All text is a NUL-terminated byte
// string in the ANSI code page (936, GBK): a lead byte 0x81-0xFE and a trail byte 0x40-0x7E or
// 0x80-0xFE make one character. A lead byte before anything else is a character on its own, so
// it never takes a separator, a quote, CR, LF or the terminator with it.
#pragma once

#include <cstddef>

template <typename T, size_t N>
constexpr size_t countOf(T (&)[N])
{
    return N;
}

// Which bytes start a double-byte character in the ANSI code page, asked of the system once.
extern const bool *const leadBytes;

// Every walk over text steps through these: inlined even where the build favours size.
#define TEXT_STEP inline __attribute__((always_inline))

// True when c starts a double-byte character in the ANSI code page.
TEXT_STEP bool isLeadByte(unsigned char c)
{
    return leadBytes[c];
}

// True when c can follow a lead byte as the second byte of its character.
TEXT_STEP bool isTrailByte(unsigned char c)
{
    return c >= 0x40 && c != 0x7F && c != 0xFF;
}

// The width in bytes (1 or 2) of the character at text: 2 only for a lead byte followed by a
// trail byte. Every walk over text steps by it.
TEXT_STEP size_t characterWidth(const char *text)
{
    return isLeadByte((unsigned char)text[0]) && isTrailByte((unsigned char)text[1]) ? 2 : 1;
}

inline char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

inline char upperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c;
}

// The longest length, at most maxLength, at which text can be cut without splitting a
// double-byte character. Reads text up to its NUL, or up to maxLength bytes and the byte
// after them.
size_t fitLength(const char *text, size_t maxLength);

// Copies src into dst (dstSize bytes, terminator included), cut without splitting a character.
// Always terminates when dstSize > 0. Returns the number of bytes copied.
size_t copyText(char *dst, size_t dstSize, const char *src);

// snprintf that, when the result has to be cut, cuts it on a character boundary.
// Returns the length of the text in dst.
size_t formatText(char *dst, size_t dstSize, const char *format, ...)
    __attribute__((format(printf, 3, 4)));

// Makes a fixed-width field read from a file a terminated string: a field with no NUL within
// its width is cut to width - 1 bytes on a character boundary. Bytes after an existing NUL stay.
void terminateField(char *field, size_t width);

// Orders a and b as strcmp does, ASCII letters compared without regard to case (a trail
// byte of a double-byte character is never taken for a letter).
int compareIgnoringCase(const char *a, const char *b);
// True when a and b hold the same text, ASCII letters compared without regard to case.
bool equalsIgnoringCase(const char *a, const char *b);

// Copies a value a reader took from a file into a contact field: every line break (CR LF,
// CR or LF), TAB and other control byte becomes one space, so a field always stays on one
// line and holds nothing a screen or another program would act on; blanks (spaces and
// ideographic spaces) at both ends are dropped, and the text is cut on a character boundary.
void copyField(char *field, size_t size, const char *value);


// The line ending at text[at] (CR LF, CR CR LF, LF or CR; length is the text's length): how
// many bytes it takes, 0 when no line ends there.
size_t lineEndLength(const char *text, size_t length, size_t at);
// The next line of text from *position (its end not included); false at the end of the text.
bool nextLine(const char *text, size_t length, size_t *position, const char **line,
              size_t *lineLength);
