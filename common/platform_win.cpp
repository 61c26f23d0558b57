// Windows: the system's own lead-byte table, its replace-in-one-step move, and its own idea
// of which letters are the same in a file name.
#include "common/platform.h"

#include "common/charsets.h"
#include "common/text.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <clocale>
#include <cstdlib>

enum { NAME_KEY_CHARACTERS = 512 };

const char platformFolderSeparator[] = "\\";

void platformSelectAnsiLocale()
{
    setlocale(LC_ALL, "");
}

bool platformIsLeadByte(unsigned char c)
{
    return IsDBCSLeadByte(c) != 0;
}

// msvcrt's own formatter: mingw's C99 vsnprintf would bring about 20 KB of its own into the
// program, and the program formats nothing that needs it.
int platformFormat(char *dst, size_t size, const char *format, va_list args)
{
    return _vsnprintf(dst, size, format, args);
}

PathKind platformPathKind(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return PATH_MISSING;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? PATH_FOLDER : PATH_FILE;
}

FILE *platformCreateNewFile(const char *path, NewFileFailure *failure)
{
    HANDLE handle = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        *failure = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? NEW_FILE_NAME_TAKEN
                 : error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT ? NEW_FILE_DENIED
                                                                               : NEW_FILE_FAILED;
        return nullptr;
    }
    *failure = NEW_FILE_FAILED;
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
bool platformFlushFile(FILE *file)
{
    return fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

bool platformTruncateFile(FILE *file)
{
    long size = ftell(file);
    return size >= 0 && fflush(file) == 0 && _chsize(_fileno(file), size) == 0;
}

bool platformIsReadOnly(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool platformReplaceFile(const char *source, const char *target)
{
    if (platformIsReadOnly(target))
        return false;
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool platformDecodeCharset(const char *charset, const char *bytes, size_t length,
                           unsigned long *points, size_t room, size_t *count)
{
    *count = 0;
    const NamedCharset *named = findCharset(charset);
    if (named == nullptr || !IsValidCodePage(named->codePage))
        return false;
    if (length == 0)
        return true;
    WCHAR *wide = (WCHAR *)malloc(length * sizeof(WCHAR));
    if (wide == nullptr)
        return true;
    int units = MultiByteToWideChar(named->codePage, 0, bytes, (int)length, wide, (int)length);
    for (int i = 0; i < units && *count < room; i++) {
        unsigned long unit = wide[i];
        bool pair = unit >= 0xD800 && unit < 0xDC00 && i + 1 < units && wide[i + 1] >= 0xDC00 &&
                    wide[i + 1] < 0xE000;
        if (pair)
            unit = 0x10000 + ((unit - 0xD800) << 10) + (wide[++i] - 0xDC00);
        points[(*count)++] = unit;
    }
    free(wide);
    return true;
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
