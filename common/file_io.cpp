// Portable half of the file layer: the C runtime calls with the fault-injection counter, and
// the safe-write protocol. The platform's replace call lives in platform_*.cpp.
#include "common/file_io.h"

#include "common/paths.h"
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

FILE *createNewFile(const char *path, bool *exists)
{
    *exists = false;
    if (injectedFault())
        return nullptr;
    return platformCreateNewFile(path, exists);
}

bool flushFile(FILE *file)
{
    if (injectedFault())
        return false;
    return platformFlushFile(file);
}

size_t readBytes(FILE *file, void *buffer, size_t size)
{
    if (injectedFault()) {
        readFaultInjected = true;
        return 0;
    }
    return fread(buffer, 1, size, file);
}

bool writeBytes(FILE *file, const void *data, size_t size)
{
    if (injectedFault())
        return false;
    return fwrite(data, 1, size, file) == size;
}

bool closeFile(FILE *file)
{
    bool fault = injectedFault();
    bool closed = fclose(file) == 0;
    return !fault && closed;
}

bool replaceFile(const char *source, const char *target)
{
    if (injectedFault())
        return false;
    return platformReplaceFile(source, target);
}

void removeFile(const char *path)
{
    remove(path);
}

// The temporary file is the target's name with ".~" and two letters or digits: four bytes
// more, so a path of 255 bytes stays within the system's 259.
enum { TEMP_SUFFIX_LENGTH = 4, TEMP_PATH_SIZE = PATH_SIZE + TEMP_SUFFIX_LENGTH, TEMP_NAME_DIGITS = 36 };

// Creates the temporary file under the first such name that no file has.
static FILE *createTemporaryFile(const char *path, char *tempPath, size_t size)
{
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    for (int n = 0; n < TEMP_NAME_DIGITS * TEMP_NAME_DIGITS; n++) {
        formatText(tempPath, size, "%s.~%c%c", path, digits[n / TEMP_NAME_DIGITS],
                   digits[n % TEMP_NAME_DIGITS]);
        bool exists = false;
        FILE *file = createNewFile(tempPath, &exists);
        if (file != nullptr || !exists)
            return file;
    }
    return nullptr;
}

bool writeFileSafely(const char *path, FileWriter writer, const void *context)
{
    char tempPath[TEMP_PATH_SIZE];
    if (path[0] == '\0' || strlen(path) + TEMP_SUFFIX_LENGTH + 1 > sizeof tempPath)
        return false;
    FILE *file = createTemporaryFile(path, tempPath, sizeof tempPath);
    if (file == nullptr)
        return false;
    bool written = writer(file, context) && flushFile(file);
    bool closed = closeFile(file);
    if (written && closed && replaceFile(tempPath, path))
        return true;
    removeFile(tempPath);
    return false;
}

enum { READ_CHUNK = 65536 };

bool readWholeFile(const char *path, TextBuffer *buffer)
{
    FILE *file = openFile(path, "rb");
    if (file == nullptr)
        return false;
    static char chunk[READ_CHUNK];
    bool ok = true;
    size_t count;
    readFaultInjected = false;
    while (ok && (count = readBytes(file, chunk, sizeof chunk)) > 0)
        ok = appendBytes(buffer, chunk, count);
    if (ferror(file) || readFaultInjected)
        ok = false;
    closeFile(file);
    return ok;
}
