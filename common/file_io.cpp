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
static long openFiles;
static bool newFilesRefused;
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

void refuseNewFiles(bool refuse)
{
    newFilesRefused = refuse;
}

long fileCallCount()
{
    return callCount;
}

long openFileCount()
{
    return openFiles;
}

static FILE *counted(FILE *file)
{
    openFiles += file != nullptr;
    return file;
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
    return counted(fopen(path, mode));
}

FILE *createNewFile(const char *path, NewFileFailure *failure)
{
    *failure = newFilesRefused ? NEW_FILE_DENIED : NEW_FILE_FAILED;
    if (injectedFault() || newFilesRefused)
        return nullptr;
    return counted(platformCreateNewFile(path, failure));
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

bool truncateFile(FILE *file)
{
    if (injectedFault())
        return false;
    return platformTruncateFile(file);
}

bool writeBytes(FILE *file, const void *data, size_t size)
{
    if (injectedFault())
        return false;
    return fwrite(data, 1, size, file) == size;
}

bool closeFile(FILE *file)
{
    openFiles--;
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

// Creates the temporary file under the first such name that no file has; *denied is set
// when the folder takes no new file at all.
static FILE *createTemporaryFile(const char *path, char *tempPath, size_t size, bool *denied)
{
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    for (int n = 0; n < TEMP_NAME_DIGITS * TEMP_NAME_DIGITS; n++) {
        formatText(tempPath, size, "%s.~%c%c", path, digits[n / TEMP_NAME_DIGITS],
                   digits[n % TEMP_NAME_DIGITS]);
        NewFileFailure failure;
        FILE *file = createNewFile(tempPath, &failure);
        *denied = file == nullptr && failure == NEW_FILE_DENIED;
        if (file != nullptr || failure != NEW_FILE_NAME_TAKEN)
            return file;
    }
    return nullptr;
}

static bool writeInPlace(const char *path, FileWriter writer, const void *context)
{
    if (platformIsReadOnly(path))
        return false;
    FILE *file = openFile(path, "r+b");
    if (file == nullptr)
        return false;
    bool written = writer(file, context) && truncateFile(file) && flushFile(file);
    return closeFile(file) && written;
}

bool writeFileSafely(const char *path, FileWriter writer, const void *context)
{
    char tempPath[TEMP_PATH_SIZE];
    if (path[0] == '\0' || strlen(path) + TEMP_SUFFIX_LENGTH + 1 > sizeof tempPath)
        return false;
    bool denied = false;
    FILE *file = createTemporaryFile(path, tempPath, sizeof tempPath, &denied);
    if (file == nullptr)
        return denied && writeInPlace(path, writer, context);
    bool written = writer(file, context) && flushFile(file);
    bool closed = closeFile(file);
    if (written && closed && replaceFile(tempPath, path))
        return true;
    removeFile(tempPath);
    return false;
}

enum { READ_CHUNK = 65536 };

WholeFileRead readWholeFile(const char *path, TextBuffer *buffer)
{
    FILE *file = openFile(path, "rb");
    if (file == nullptr)
        return WHOLE_FILE_UNREADABLE;
    static char chunk[READ_CHUNK];
    WholeFileRead result = WHOLE_FILE_READ;
    size_t count;
    readFaultInjected = false;
    while (result == WHOLE_FILE_READ && (count = readBytes(file, chunk, sizeof chunk)) > 0)
        if (!appendBytes(buffer, chunk, count))
            result = WHOLE_FILE_NO_MEMORY;
    if (ferror(file) || readFaultInjected)
        result = WHOLE_FILE_UNREADABLE;
    closeFile(file);
    return result;
}
