// Portable half of the file layer: the C runtime calls with the fault-injection counter, and
// the safe-write protocol. The platform's replace call lives in platform_*.cpp.
#include "common/file_io.h"

#include "common/platform.h"
#include "common/text.h"
#include "common/text_buffer.h"

#include <cstring>

static long callCount;
static long failingCall;
static bool readFaultInjected; // an injected read failure looks like an error, not the end

// Counts one file call; true when the test asked this call to fail.
static bool injectedFault()
{
    callCount++;
    return failingCall != 0 && callCount == failingCall;
}

void failFileCallAt(long n)
{
    failingCall = n == 0 ? 0 : callCount + n;
}

long fileCallCount()
{
    return callCount;
}

void resetFileCallCount()
{
    callCount = 0;
    failingCall = 0;
}

FILE *openFile(const char *path, const char *mode)
{
    if (injectedFault())
        return nullptr;
    return fopen(path, mode);
}

size_t readBytes(FILE *file, void *buffer, size_t size)
{
    if (injectedFault()) {
        readFaultInjected = true;
        return 0;
    }
    return fread(buffer, 1, size, file);
}

int writeBytes(FILE *file, const void *data, size_t size)
{
    if (injectedFault())
        return 0;
    return fwrite(data, 1, size, file) == size ? 1 : 0;
}

int closeFile(FILE *file)
{
    bool fault = injectedFault();
    int closed = fclose(file) == 0;
    return fault ? 0 : closed;
}

int replaceFile(const char *source, const char *target)
{
    if (injectedFault())
        return 0;
    return platformReplaceFile(source, target);
}

void removeFile(const char *path)
{
    remove(path);
}

// Room for the longest path the program keeps (255 bytes) plus the temporary suffix.
enum { TEMP_PATH_SIZE = 272 };

int writeFileSafely(const char *path, FileWriter writer, const void *context)
{
    char tempPath[TEMP_PATH_SIZE];
    if (path[0] == '\0' || strlen(path) + sizeof ".tmp" > sizeof tempPath)
        return 0;
    formatText(tempPath, sizeof tempPath, "%s.tmp", path);

    FILE *file = openFile(tempPath, "wb");
    if (file == nullptr)
        return 0;
    int written = writer(file, context);
    int closed = closeFile(file);
    if (written && closed && replaceFile(tempPath, path))
        return 1;
    removeFile(tempPath);
    return 0;
}

enum { READ_CHUNK = 65536 };

int readWholeFile(const char *path, TextBuffer *buffer)
{
    FILE *file = openFile(path, "rb");
    if (file == nullptr)
        return 0;
    static char chunk[READ_CHUNK];
    int ok = 1;
    size_t count;
    readFaultInjected = false;
    while (ok && (count = readBytes(file, chunk, sizeof chunk)) > 0)
        ok = appendBytes(buffer, chunk, count);
    if (ferror(file) || readFaultInjected)
        ok = 0;
    closeFile(file);
    return ok;
}
