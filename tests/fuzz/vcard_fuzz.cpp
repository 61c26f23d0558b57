// The vCard reader on arbitrary bytes, as importVCard sees a file.
#include "common/text_buffer.h"
#include "interchange/text_encoding.h"
#include "interchange/vcard_format.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    TextBuffer text = {};
    appendBytes(&text, (const char *)data, size);
    TextKind kind = prepareTextFile(&text);
    int appended = kind == TEXT_NOT_TEXT ? 0 : importVCardBytes(bufferText(&text), text.length, kind);
    freeBuffer(&text);
    if (appended != contactCount)
        abort();
    checkAndClearContacts();
    return 0;
}
