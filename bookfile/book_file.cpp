// Reader and writer of the address-book file. Fields are copied byte for byte, bytes after
// each field's NUL included, so a book read and written again is identical on disk.
#include "bookfile/book_file.h"

#include "common/file_io.h"
#include "common/text.h"
#include "store/contact_list.h"

#include <cstring>

enum { HEADER_SIZE = 12, RECORD_SIZE = NAME_SIZE + NUMBER_SIZE + REMARK_SIZE, RECORDS_PER_READ = 1024 };

static void putInt32(unsigned char *bytes, uint32_t value)
{
    for (int i = 0; i < 4; i++)
        bytes[i] = (unsigned char)(value >> (8 * i));
}

static uint32_t getInt32(const unsigned char *bytes)
{
    return (uint32_t)bytes[0] | (uint32_t)bytes[1] << 8 | (uint32_t)bytes[2] << 16 |
           (uint32_t)bytes[3] << 24;
}

static bool writeRecords(FILE *file, const void *)
{
    unsigned char header[HEADER_SIZE];
    putInt32(header, bookMagic);
    putInt32(header + 4, (uint32_t)programVersion);
    putInt32(header + 8, (uint32_t)contactCount);
    if (!writeBytes(file, header, sizeof header))
        return false;
    for (const Contact *record = firstContact; record != nullptr; record = record->next) {
        unsigned char bytes[RECORD_SIZE];
        memcpy(bytes, record->name, NAME_SIZE);
        memcpy(bytes + NAME_SIZE, record->number, NUMBER_SIZE);
        memcpy(bytes + NAME_SIZE + NUMBER_SIZE, record->remark, REMARK_SIZE);
        if (!writeBytes(file, bytes, sizeof bytes))
            return false;
    }
    return true;
}

bool saveBook(const char *path)
{
    return writeFileSafely(path, writeRecords, nullptr);
}

// Checks the header; LOAD_OK with the record count, or the result that refuses the file.
static LoadResult readHeader(FILE *file, int32_t *count)
{
    unsigned char header[HEADER_SIZE];
    if (readBytes(file, header, sizeof header) != sizeof header)
        return LOAD_BAD_MAGIC;
    if (getInt32(header) != bookMagic)
        return LOAD_BAD_MAGIC;
    if ((int32_t)getInt32(header + 4) > programVersion)
        return LOAD_NEWER_VERSION;
    *count = (int32_t)getInt32(header + 8);
    return *count < 0 ? LOAD_BAD_COUNT : LOAD_OK;
}

// The records are read many at a time; those read whole before a file ends short are kept.
static LoadResult readRecords(FILE *file, int32_t count)
{
    static unsigned char chunk[RECORDS_PER_READ * RECORD_SIZE];
    for (int32_t read = 0; read < count;) {
        size_t wanted = count - read < RECORDS_PER_READ ? (size_t)(count - read) : (size_t)RECORDS_PER_READ;
        size_t whole = readBytes(file, chunk, wanted * RECORD_SIZE) / RECORD_SIZE;
        for (size_t i = 0; i < whole; i++) {
            const unsigned char *bytes = chunk + i * RECORD_SIZE;
            Contact record = {};
            memcpy(record.name, bytes, NAME_SIZE);
            memcpy(record.number, bytes + NAME_SIZE, NUMBER_SIZE);
            memcpy(record.remark, bytes + NAME_SIZE + NUMBER_SIZE, REMARK_SIZE);
            terminateField(record.name, NAME_SIZE);
            terminateField(record.number, NUMBER_SIZE);
            terminateField(record.remark, REMARK_SIZE);
            if (!appendContact(record))
                return LOAD_NO_MEMORY;
        }
        if (whole < wanted)
            return LOAD_TRUNCATED;
        read += (int32_t)whole;
    }
    return LOAD_OK;
}

LoadResult loadBook(const char *path)
{
    FILE *file = openFile(path, "rb");
    if (file == nullptr)
        return LOAD_CANNOT_READ;
    int32_t count = 0;
    LoadResult result = readHeader(file, &count);
    if (result == LOAD_OK)
        result = readRecords(file, count);
    closeFile(file);
    return result;
}

static int readBook(const char *path)
{
    int before = contactCount;
    LoadResult result = loadBook(path);
    if (result == LOAD_OK)
        return contactCount - before;
    return result == LOAD_CANNOT_READ ? READ_CANNOT_OPEN : -(int)result;
}

static bool writeBook(const char *path, const ExportOptions *)
{
    return saveBook(path);
}

const FileFormat bookFileFormat = {"ctb", ".ctb", readBook, writeBook};

LoadResult loadResultOf(int readFailure)
{
    return readFailure == READ_CANNOT_OPEN ? LOAD_CANNOT_READ : (LoadResult)-readFailure;
}

void formatLoadMessage(char *text, size_t size, LoadResult result, const char *path)
{
    static const char *const formats[] = {
        "文件路径：%s\n\n读取文件过程中产生不可预知的错误，是系统或者文件的问题！(0)\n读取过程因异常结束。",
        "",
        "文件路径：%s\n\n文件不是正确的格式，程序终止读取。(2)\n读取失败。",
        "文件路径：%s\n\n文件可能已经损坏！(3)\n请下载最新的程序然后重试。",
        "文件路径：%s\n\n文件的版本较高，继续读取可能出现问题。(4)\n您需要下载新版本的软件来读取该文件，读取过程终止。",
        "文件路径：%s\n\n文件可能已经损坏！(5)\n文件数据与文件头不一致，文件不完整。",
        "文件路径：%s\n\n内存不足！(6)\n读取过程终止。",
    };
    if (result < 0 || result >= (int)countOf(formats) || result == LOAD_OK) {
        copyText(text, size, "");
        return;
    }
    formatText(text, size, formats[result], path);
}
