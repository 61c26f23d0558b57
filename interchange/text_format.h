// Plain-text contact files: one contact per line, name, number and remark split by
// separators; the remark takes the rest of the line.
#pragma once

#include <cstddef>

// How a field read by nextTextField ended.
enum FieldEnd { FIELD_LINE_END = 1, FIELD_TEXT_END = 2, FIELD_SEPARATOR = 3 };

// Reads one field at *cursor into dest (capacity bytes), cut on a character boundary; the
// cursor moves past the field and its separator. Blanks (spaces, TABs, ideographic spaces)
// around a separator, and a run of blanks, are one separator.
FieldEnd nextTextField(const char **cursor, char *dest, size_t capacity);
// Appends one contact per line of the file (CR LF, LF or CR) that has text in a field,
// leaving out a first line that is this program's own header. Returns the contacts appended,
// or a ReadFailure.
int importText(const char *path);
// The same for text in memory, already in the ANSI code page.
int importTextBytes(const char *text, size_t length);
// Writes the contacts (all, or only the ticked ones), with an optional header line. False
// when the file could not be written (an existing file is then left as it was).
bool exportText(const char *path, char separator, bool checkedOnly, bool withHeader);
