// Elsewhere (the native build of the core and its tools): the program's ANSI code page is
// GBK, rename replaces a file in one step, and file names are taken to compare as Windows
// compares ASCII letters.
#include "common/platform.h"

#include "common/charsets.h"
#include "common/text.h"

#include <cerrno>
#include <clocale>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

const char platformFolderSeparator[] = "/";

void platformSelectAnsiLocale()
{
    if (setlocale(LC_ALL, "zh_CN.GBK") == nullptr && setlocale(LC_ALL, "zh_CN.gbk") == nullptr)
        setlocale(LC_ALL, "");
}

bool platformIsLeadByte(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

int platformFormat(char *dst, size_t size, const char *format, va_list args)
{
    return vsnprintf(dst, size, format, args);
}

PathKind platformPathKind(const char *path)
{
    struct stat info;
    if (stat(path, &info) != 0)
        return PATH_MISSING;
    return S_ISDIR(info.st_mode) ? PATH_FOLDER : PATH_FILE;
}

FILE *platformCreateNewFile(const char *path, NewFileFailure *failure)
{
    int descriptor = open(path, O_WRONLY | O_CREAT | O_EXCL, 0666);
    *failure = errno == EEXIST ? NEW_FILE_NAME_TAKEN
             : errno == EACCES || errno == EPERM || errno == EROFS ? NEW_FILE_DENIED : NEW_FILE_FAILED;
    if (descriptor < 0)
        return nullptr;
    FILE *file = fdopen(descriptor, "wb");
    if (file == nullptr)
        close(descriptor);
    return file;
}

bool platformFlushFile(FILE *file)
{
    return fflush(file) == 0 && fsync(fileno(file)) == 0;
}

// The folder's entry of the replaced file is written through as well.
static void syncFolderOf(const char *path)
{
    char folder[4096];
    copyText(folder, sizeof folder, path);
    char *slash = strrchr(folder, '/');
    if (slash == nullptr)
        copyText(folder, sizeof folder, ".");
    else
        slash[slash == folder ? 1 : 0] = '\0';
    int descriptor = open(folder, O_RDONLY);
    if (descriptor >= 0) {
        fsync(descriptor);
        close(descriptor);
    }
}

bool platformTruncateFile(FILE *file)
{
    long size = ftell(file);
    return size >= 0 && fflush(file) == 0 && ftruncate(fileno(file), size) == 0;
}

bool platformIsReadOnly(const char *path)
{
    struct stat existing;
    return stat(path, &existing) == 0 && (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool platformReplaceFile(const char *source, const char *target)
{
    if (platformIsReadOnly(target))
        return false;
    if (rename(source, target) != 0)
        return false;
    syncFolderOf(target);
    return true;
}

enum { DECODE_CHUNK = 64 };

bool platformDecodeCharset(const char *charset, const char *bytes, size_t length,
                           unsigned long *points, size_t room, size_t *count)
{
    *count = 0;
    if (findCharset(charset) == nullptr)
        return false;
    iconv_t converter = iconv_open("UTF-32LE", charset);
    if (converter == (iconv_t)-1)
        return false;
    char *in = (char *)bytes;
    size_t inLeft = length;
    while (inLeft > 0 && *count < room) {
        uint32_t chunk[DECODE_CHUNK];
        char *out = (char *)chunk;
        size_t outLeft = sizeof chunk;
        size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        for (size_t i = 0; i < (sizeof chunk - outLeft) / 4 && *count < room; i++)
            points[(*count)++] = chunk[i];
        if (result == (size_t)-1 && errno != E2BIG && *count < room) {
            points[(*count)++] = 0xFFFD; // a sequence the charset lacks, or one cut short
            in++;
            inLeft--;
        }
    }
    iconv_close(converter);
    return true;
}

void platformFileNameKey(const char *name, char *key, size_t size)
{
    size_t length = copyText(key, size, name);
    for (size_t i = 0; i < length; i += characterWidth(key + i))
        key[i] = upperAscii(key[i]);
}
