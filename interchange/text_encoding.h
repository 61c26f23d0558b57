// Conversions between the ANSI code page and UTF-8, through the C runtime's wide characters.
#pragma once

#include <cstddef>

// Switches the C runtime to the ANSI code page: the user's default locale on Windows; the
// GBK locale elsewhere, where the program's ANSI code page is always GBK. The program, the
// tool and the tests call it once at start-up; every conversion after that is in it. 1 when
// a double-byte locale is in force afterwards.
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

// Decodes one UTF-8 sequence; returns the bytes it takes and the code point, or 1 and U+FFFD
// for a byte that starts no valid sequence. The three-byte form that earlier versions of
// this program wrote for U+0080 to U+07FF is read too.
size_t decodeUtf8(const unsigned char *text, unsigned long *cp);
// 1 when the bytes are valid, shortest-form UTF-8.
int isUtf8(const char *text, size_t length);
// 1 when text without a mark or a declared charset is taken for UTF-8: valid UTF-8 holding
// a sequence of three or more bytes (every ideograph is one), or only accented Latin letters
// (U+00C0 to U+024F) in runs that stand beside an ASCII letter ("José", "Müller"). About one
// GBK ideograph in five is also a valid two-byte sequence, so two-byte sequences alone are
// no proof: "郑强" in GBK stays GBK.
int looksLikeUtf8(const char *text, size_t length);
// Decodes one ANSI character; returns its width in bytes and its code point (U+FFFD for a
// byte sequence the code page does not define).
size_t decodeAnsi(const char *ansi, unsigned long *cp);
// The ANSI bytes of one code point into bytes (at least MB_LEN_MAX); '?' when the code page
// has no such character. Returns the number of bytes.
int ansiCharacter(unsigned long cp, char *bytes);

struct TextBuffer;
enum { UNKNOWN_TEXT = 1, UNICODE_TEXT = 2 };
// Prepares a file read whole for a text reader: UTF-16 (with a mark, or recognised by its
// NUL bytes and its line ends) is converted to UTF-8, a UTF-8 byte-order mark at the start
// of any line is dropped, and a NUL byte becomes a space. Returns UNICODE_TEXT when the file
// said it is Unicode, UNKNOWN_TEXT otherwise, 0 when out of memory.
int normalizeTextFile(TextBuffer *file);
