// A growable, always terminated byte buffer for the readers, which take lines whole,
// whatever their length.
#pragma once

#include <cstddef>

struct TextBuffer {
    char *data;     // null until something is appended; then always NUL-terminated
    size_t length;
    size_t capacity;
};

// Appends count bytes; false when no memory could be had (the buffer is then unchanged).
bool appendBytes(TextBuffer *buffer, const char *bytes, size_t count);
// Empties the buffer, keeping its memory.
void clearBuffer(TextBuffer *buffer);
void freeBuffer(TextBuffer *buffer);
// The buffer's text, "" while nothing was appended.
const char *bufferText(const TextBuffer *buffer);
