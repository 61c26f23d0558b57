// Elsewhere (the native build of the core and its tools): the program's ANSI code page is
// GBK, and rename replaces a file in one step.
#include "common/platform.h"

#include <cstdio>

bool platformIsLeadByte(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

int platformReplaceFile(const char *source, const char *target)
{
    return rename(source, target) == 0 ? 1 : 0;
}
