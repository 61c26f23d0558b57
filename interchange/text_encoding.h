// Conversions between the ANSI code page and UTF-8, through the C runtime's wide characters.
#pragma once

#include <cstddef>

// Switches the C runtime to the ANSI code page: the user's default locale on Windows; the
// GBK locale elsewhere, where the program's ANSI code page is always GBK. 1 when a
// double-byte locale is in force afterwards.
int selectAnsiLocale();

// Converts ANSI text to UTF-8 into utf8 (size bytes, terminator included), never splitting
// a character. A byte sequence the code page does not define becomes U+FFFD.
// Returns the length written.
size_t ansiToUtf8(const char *ansi, char *utf8, size_t size);

// Converts UTF-8 text to the ANSI code page into ansi (size bytes, terminator included),
// never splitting a character. A character the code page cannot hold, and a byte that is
// not part of valid UTF-8, become '?'. Returns the length written.
size_t utf8ToAnsi(const char *utf8, char *ansi, size_t size);

// Appends the UTF-8 form of code point cp to out (room for size bytes including the
// terminator at *length). Returns 0 when it does not fit.
int appendUtf8(unsigned long cp, char *out, size_t size, size_t *length);
