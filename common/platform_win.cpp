// Windows: the system's own lead-byte table and its replace-in-one-step move.
#include "common/platform.h"

#include <windows.h>

bool platformIsLeadByte(unsigned char c)
{
    return IsDBCSLeadByte(c) != 0;
}

int platformReplaceFile(const char *source, const char *target)
{
    DWORD attributes = GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return 0;
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 1 : 0;
}
