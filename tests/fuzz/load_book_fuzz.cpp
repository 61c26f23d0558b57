// loadBook on arbitrary file contents.
#include "bookfile/book_file.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    static char path[64];
    if (path[0] == '\0')
        snprintf(path, sizeof path, "/tmp/vostrelina-fuzz-%d.ctb", (int)getpid());
    FILE *file = fopen(path, "wb");
    if (file == nullptr)
        return 0;
    fwrite(data, 1, size, file);
    fclose(file);
    LoadResult result = loadBook(path);
    if (result < LOAD_CANNOT_READ || result > LOAD_NO_MEMORY)
        abort();
    checkAndClearContacts();
    return 0;
}
