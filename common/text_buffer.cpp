#include "common/text_buffer.h"

#include "common/memory.h"

#include <cstring>

bool appendBytes(TextBuffer *buffer, const char *bytes, size_t count)
{
    if (buffer->length + count + 1 > buffer->capacity) {
        size_t capacity = buffer->capacity < 64 ? 64 : buffer->capacity;
        while (capacity < buffer->length + count + 1)
            capacity *= 2;
        char *grown = (char *)resizeMemory(buffer->data, capacity);
        if (grown == nullptr)
            return false;
        buffer->data = grown;
        buffer->capacity = capacity;
    }
    memcpy(buffer->data + buffer->length, bytes, count);
    buffer->length += count;
    buffer->data[buffer->length] = '\0';
    return true;
}

void clearBuffer(TextBuffer *buffer)
{
    buffer->length = 0;
    if (buffer->data != nullptr)
        buffer->data[0] = '\0';
}

void freeBuffer(TextBuffer *buffer)
{
    freeMemory(buffer->data);
    *buffer = TextBuffer();
}

const char *bufferText(const TextBuffer *buffer)
{
    return buffer->data != nullptr ? buffer->data : "";
}
