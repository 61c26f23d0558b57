// Windows: the system's own lead-byte table, its replace-in-one-step move, and its own idea
// of which letters are the same in a file name.
#include "common/platform.h"

#include "common/text.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

enum { NAME_KEY_CHARACTERS = 512 };

bool platformIsLeadByte(unsigned char c)
{
    return IsDBCSLeadByte(c) != 0;
}

FILE *platformCreateNewFile(const char *path, bool *exists)
{
    HANDLE handle = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        *exists = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
        return nullptr;
    }
    *exists = false;
    int descriptor = _open_osfhandle((intptr_t)handle, _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    FILE *file = _fdopen(descriptor, "wb");
    if (file == nullptr)
        _close(descriptor);
    return file;
}

// _commit asks the system to write the file's buffers to the disk (FlushFileBuffers).
int platformFlushFile(FILE *file)
{
    return fflush(file) == 0 && _commit(_fileno(file)) == 0 ? 1 : 0;
}

int platformReplaceFile(const char *source, const char *target)
{
    DWORD attributes = GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return 0;
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 1 : 0;
}

// Upper case as the system maps it, full-width and other non-ASCII letters included; the
// key stays in the ANSI code page so it compares as bytes.
void platformFileNameKey(const char *name, char *key, size_t size)
{
    WCHAR wide[NAME_KEY_CHARACTERS];
    int count = MultiByteToWideChar(CP_ACP, 0, name, -1, wide, NAME_KEY_CHARACTERS);
    if (count <= 0 || size == 0) {
        copyText(key, size, name);
        return;
    }
    CharUpperBuffW(wide, (DWORD)count);
    int length = WideCharToMultiByte(CP_ACP, 0, wide, count, key, (int)size, nullptr, nullptr);
    if (length <= 0)
        copyText(key, size, name);
}
