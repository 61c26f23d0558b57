// Windows: the system's own lead-byte table, its replace-in-one-step move, and its own idea
// of which letters are the same in a file name.
#include "common/platform.h"

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

struct NamedCodePage {
    const char *name;
    UINT codePage;
};

// The charsets vCard files declare, by the names they use, and the system's code page for each.
static const NamedCodePage namedCodePages[] = {
    {"BIG5", 950},          {"BIG-5", 950},         {"BIG5-HKSCS", 950},   {"CP950", 950},
    {"SHIFT_JIS", 932},     {"SHIFT-JIS", 932},     {"SJIS", 932},         {"MS_KANJI", 932},
    {"CP932", 932},         {"WINDOWS-31J", 932},   {"EUC-KR", 949},       {"KS_C_5601-1987", 949},
    {"CP949", 949},         {"WINDOWS-1250", 1250}, {"WINDOWS-1251", 1251}, {"CP1251", 1251},
    {"WINDOWS-1252", 1252}, {"CP1252", 1252},       {"WINDOWS-1253", 1253}, {"WINDOWS-1254", 1254},
    {"WINDOWS-1257", 1257}, {"ISO-8859-1", 28591},  {"LATIN1", 28591},     {"ISO-8859-2", 28592},
    {"ISO-8859-5", 28595},  {"ISO-8859-7", 28597},  {"ISO-8859-15", 28605}, {"KOI8-R", 20866},
    {"KOI8-U", 21866},      {"US-ASCII", 20127},
};

int platformDecodeCharset(const char *charset, const char *bytes, size_t length,
                          unsigned long *points, size_t room, size_t *count)
{
    *count = 0;
    UINT codePage = 0;
    for (const NamedCodePage &named : namedCodePages)
        if (equalsIgnoringCase(charset, named.name))
            codePage = named.codePage;
    if (codePage == 0 || !IsValidCodePage(codePage))
        return 0;
    if (length == 0)
        return 1;
    WCHAR *wide = (WCHAR *)malloc(length * sizeof(WCHAR));
    if (wide == nullptr)
        return 1;
    int units = MultiByteToWideChar(codePage, 0, bytes, (int)length, wide, (int)length);
    for (int i = 0; i < units && *count < room; i++) {
        unsigned long unit = wide[i];
        bool pair = unit >= 0xD800 && unit < 0xDC00 && i + 1 < units && wide[i + 1] >= 0xDC00 &&
                    wide[i + 1] < 0xE000;
        if (pair)
            unit = 0x10000 + ((unit - 0xD800) << 10) + (wide[++i] - 0xDC00);
        points[(*count)++] = unit;
    }
    free(wide);
    return 1;
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
