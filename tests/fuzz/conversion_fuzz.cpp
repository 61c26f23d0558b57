// The UTF-8, UTF-16 and ANSI conversions on arbitrary bytes: bounded output, terminated,
// never half a character at the end.
#include "common/text.h"
#include "interchange/text_encoding.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    char input[512];
    size_t length = size < sizeof input - 1 ? size : sizeof input - 1;
    memcpy(input, data, length);
    input[length] = '\0';
    for (size_t room : {1u, 7u, 64u, 1024u}) {
        char *out = (char *)malloc(room);
        size_t written = utf8ToAnsi(input, out, room);
        if (written >= room || strlen(out) != written || fitLength(out, written) != written)
            abort();
        written = ansiToUtf8(input, out, room);
        if (written >= room || strlen(out) != written || !isUtf8(out, written))
            abort();
        free(out);
    }
    return 0;
}
