// Plain-text contact files: one contact per line, name, number and remark split by single
// separator bytes; the remark takes the rest of the line.
#pragma once

#include <cstddef>

// How a field read by nextTextField ended.
enum FieldEnd { FIELD_FULL = 0, FIELD_LINE_END = 1, FIELD_TEXT_END = 2, FIELD_SEPARATOR = 3 };

// Reads one field at *cursor into dest (capacity bytes), cut on a character boundary; the
// cursor moves past the field and its separator.
int nextTextField(const char **cursor, char *dest, size_t capacity);
// Appends one contact per line of the file (CR LF, LF or CR) that has text in a field,
// leaving out a first line that is this program's own header; returns how many.
// -1 when the file cannot be read.
int importText(const char *path);
// Reads text already converted to the ANSI code page.
int importTextLines(const char *text, size_t length);
// Writes the contacts (all, or only the ticked ones), with an optional header line.
// 1 written, 0 failed (an existing file is then left as it was).
int exportText(const char *path, char separator, int checkedOnly, int withHeader);

struct TextBuffer;
// Reads a text file whole and converts it to the ANSI code page when it is Unicode (a byte-
// order mark, UTF-16, or valid UTF-8 holding non-ASCII text). 0 when it cannot be read.
int readAnsiTextFile(const char *path, TextBuffer *text);
