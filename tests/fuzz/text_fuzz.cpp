// The plain-text reader on arbitrary bytes, as importText sees a file after decoding.
#include "common/text_buffer.h"
#include "interchange/text_encoding.h"
#include "interchange/text_format.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    TextBuffer text = {};
    appendBytes(&text, (const char *)data, size);
    TextKind kind = prepareTextFile(&text);
    if (isUtf8Kind(kind))
        text.length = utf8ToAnsi(bufferText(&text), text.data, text.length + 1);
    importTextBytes(bufferText(&text), text.length);
    freeBuffer(&text);
    checkAndClearContacts();
    return 0;
}
