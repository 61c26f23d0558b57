// Small text helpers shared by every part of the program. All text is a NUL-terminated byte
// string in the ANSI code page (936, GBK): a lead byte 0x81-0xFE is followed by one trail byte.
#pragma once

#include <cstddef>

template <typename T, size_t N>
constexpr size_t countOf(T (&)[N])
{
    return N;
}

// Which bytes start a double-byte character in the ANSI code page, asked of the system once.
extern const bool *const leadBytes;

// True when c starts a double-byte character in the ANSI code page.
inline bool isLeadByte(unsigned char c)
{
    return leadBytes[c];
}

// The width in bytes (1 or 2) of the character at text; a lead byte before the terminator
// counts as one byte.
inline size_t characterWidth(const char *text)
{
    return isLeadByte((unsigned char)text[0]) && text[1] != '\0' ? 2 : 1;
}

// The longest length, at most maxLength, at which text can be cut without leaving half a
// double-byte character; a lead byte with nothing after it is left out too. Never reads past
// a NUL or past maxLength bytes.
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
// CR or LF) and TAB becomes one space, so a field always stays on one line; spaces at both
// ends are dropped, and the text is cut on a character boundary.
void copyField(char *field, size_t size, const char *value);

