// Conversions between the ANSI code page and UTF-8 through the C runtime's wide characters,
// and the one decision of the encoding a file's bytes are in, taken from their evidence.
#pragma once

#include <climits>
#include <cstddef>

// Switches the C runtime to the ANSI code page: the user's default locale on Windows; the
// GBK locale elsewhere, where the program's ANSI code page is always GBK. The program, the
// tool and the tests call it once at start-up; every conversion after that is in it. True
// when a double-byte locale is in force afterwards.
bool selectAnsiLocale();

// Converts ANSI text to UTF-8 into utf8 (size bytes, terminator included), never splitting
// a character. A byte the code page does not define becomes '?'. Returns the length written.
size_t ansiToUtf8(const char *ansi, char *utf8, size_t size);

// Converts UTF-8 text to the ANSI code page into ansi (size bytes, terminator included),
// never splitting a character. A character the code page cannot hold, and each byte that is
// not part of valid UTF-8, become '?'. The output is never longer than the input, so ansi may
// be utf8 itself. Returns the length written.
size_t utf8ToAnsi(const char *utf8, char *ansi, size_t size);

// Appends the UTF-8 form of code point cp to out (room for size bytes including the
// terminator at *length). False when it does not fit.
bool appendUtf8(unsigned long cp, char *out, size_t size, size_t *length);

// Decodes one UTF-8 sequence; returns the bytes it takes and the code point, or 1 and U+FFFD
// for a byte that starts no valid sequence. The three-byte form that earlier versions of
// this program wrote for U+0080 to U+07FF is read too.
size_t decodeUtf8(const unsigned char *text, unsigned long *cp);
// True when every byte is part of a valid UTF-8 sequence.
bool isUtf8(const char *text, size_t length);
// Decodes one ANSI character; returns its width in bytes and its code point ('?' for a byte
// sequence the code page does not define).
size_t decodeAnsi(const char *ansi, unsigned long *cp);
// Encodes one code point in the ANSI code page into bytes; '?' when the code page has no
// such character, but the invisible and non-breaking characters stand for what they mean
// (a space, a hyphen, a line end, or nothing). Returns the number of bytes, 0 for nothing.
int encodeAnsi(unsigned long cp, char bytes[MB_LEN_MAX]);

// What bytes without a mark or a declared charset say of being UTF-8.
//   UTF8:        sequences of three or four bytes (every ideograph is one), or accented Latin
//                letters of European names in runs beside ASCII letters ("José", "Müller");
//                with invalid bytes among them only when at least two such sequences stand
//                against each invalid pair (a stray Latin-1 byte, a last character cut short).
//   MAYBE_UTF8:  valid UTF-8 that proves nothing: ASCII, or two-byte sequences alone, which
//                about one GBK ideograph in five makes by chance ("郑强" in GBK).
//   BROKEN_UTF8: such sequences, but too many bytes UTF-8 never has beside them.
//   NOT_UTF8:    bytes UTF-8 never has, and nothing of UTF-8.
enum Utf8Evidence { NOT_UTF8, BROKEN_UTF8, MAYBE_UTF8, UTF8 };
Utf8Evidence utf8Evidence(const char *text, size_t length);

// What a file read whole turned out to be.
enum TextKind {
    TEXT_NOT_TEXT,   // an archive, a document, a picture: no contact file
    TEXT_NO_MEMORY,
    TEXT_UNICODE,    // it said so (a byte-order mark, or UTF-16): now UTF-8 throughout
    TEXT_UTF8,       // UTF-8 by its evidence
    TEXT_MAYBE_UTF8, // valid UTF-8 that proves nothing
    TEXT_ANSI        // not UTF-8: the ANSI code page
};

struct TextBuffer;
// Prepares a file read whole for a reader and decides its encoding, once: a file with the
// signature of a binary file, or with control bytes that no text holds, is no text; UTF-16
// (with a mark, or of even length with the NUL bytes and line ends of UTF-16) is converted
// to UTF-8; a UTF-8 byte-order mark at the start of any line is dropped; a NUL byte becomes a
// space.
TextKind prepareTextFile(TextBuffer *file);
// True for the kinds whose text is UTF-8.
bool isUtf8Kind(TextKind kind);
// Converts text that starts with a UTF-16 byte-order mark to UTF-8, without the mark; other
// text stays as it is. False out of memory.
bool convertMarkedUtf16(TextBuffer *text);
// Reads a file whole into file and prepares it (prepareTextFile), which says what it is.
// 0, or READ_CANNOT_OPEN (also for a file that is no text) or READ_NO_MEMORY.
int readTextFile(const char *path, TextBuffer *file, TextKind *kind);
// Reads a text file whole into text, in the ANSI code page: converted from Unicode when the
// file says or proves it is Unicode. 0, or a ReadFailure as readTextFile.
int readAnsiTextFile(const char *path, TextBuffer *text);
