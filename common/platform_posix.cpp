// Elsewhere (the native build of the core and its tools): the program's ANSI code page is
// GBK, and rename replaces a file in one step.
#include "common/platform.h"

#include <cstdio>
#include <sys/stat.h>

bool platformIsLeadByte(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

// A file without any write permission counts as read-only, also for root.
int platformReplaceFile(const char *source, const char *target)
{
    struct stat existing;
    if (stat(target, &existing) == 0 && (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return 0;
    return rename(source, target) == 0 ? 1 : 0;
}
