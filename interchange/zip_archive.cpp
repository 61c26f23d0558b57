#include "interchange/zip_archive.h"

#include "common/memory.h"
#include "common/text.h"

#include <cstring>
#include <initializer_list>
#include <zlib.h>

enum {
    END_RECORD_SIZE = 22,
    MAX_COMMENT = 0xFFFF,
    DIRECTORY_ENTRY_SIZE = 46,
    LOCAL_HEADER_SIZE = 30,
    END_SIGNATURE = 0x06054b50,
    ZIP64_LOCATOR_SIZE = 20,
    ZIP64_LOCATOR_SIGNATURE = 0x07064b50,
    ZIP64_END_RECORD_SIZE = 56,
    ZIP64_END_SIGNATURE = 0x06064b50,
    ZIP64_EXTRA_FIELD = 1,
    DIRECTORY_SIGNATURE = 0x02014b50,
    LOCAL_SIGNATURE = 0x04034b50,
    FLAG_ENCRYPTED = 1,
    METHOD_STORED = 0,
    METHOD_DEFLATED = 8
};

static unsigned readUint16(const unsigned char *at)
{
    return at[0] | at[1] << 8;
}

static unsigned long readUint32(const unsigned char *at)
{
    return (unsigned long)at[0] | (unsigned long)at[1] << 8 | (unsigned long)at[2] << 16 |
           (unsigned long)at[3] << 24;
}

static unsigned long long readUint64(const unsigned char *at)
{
    return readUint32(at) | (unsigned long long)readUint32(at + 4) << 32;
}

// A value too large for its field stands as all ones there and is written in Zip64's record.
static bool inZip64(unsigned long long value, int bytes)
{
    return value == (bytes == 2 ? 0xFFFFULL : 0xFFFFFFFFULL);
}

// The directory's place and size from the Zip64 end record a locator just before the end
// record at at points to; false when there is none or it does not hold.
static bool readZip64End(const unsigned char *data, size_t at, ZipArchive *zip)
{
    if (at < ZIP64_LOCATOR_SIZE || readUint32(data + at - ZIP64_LOCATOR_SIZE) != ZIP64_LOCATOR_SIGNATURE)
        return false;
    unsigned long long record = readUint64(data + at - ZIP64_LOCATOR_SIZE + 8);
    if (record > at - ZIP64_LOCATOR_SIZE || at - ZIP64_LOCATOR_SIZE - record < ZIP64_END_RECORD_SIZE ||
        readUint32(data + record) != ZIP64_END_SIGNATURE)
        return false;
    const unsigned char *end = data + record;
    unsigned long long entries = readUint64(end + 32), size = readUint64(end + 40), offset = readUint64(end + 48);
    if (readUint32(end + 16) != 0 || readUint32(end + 20) != 0 || readUint64(end + 24) != entries ||
        offset > record || size > record - offset)
        return false;
    zip->directory = (size_t)offset;
    zip->entryCount = (size_t)entries;
    return true;
}

// The end-of-directory record is the last thing in the file, after which only its comment.
ZipResult openZip(const char *bytes, size_t length, ZipArchive *zip)
{
    *zip = ZipArchive();
    const unsigned char *data = (const unsigned char *)bytes;
    if (length < END_RECORD_SIZE)
        return ZIP_NOT_ZIP;
    size_t lowest = length - END_RECORD_SIZE > MAX_COMMENT ? length - END_RECORD_SIZE - MAX_COMMENT : 0;
    for (size_t at = length - END_RECORD_SIZE + 1; at-- > lowest;) {
        if (readUint32(data + at) != END_SIGNATURE)
            continue;
        size_t entries = readUint16(data + at + 10);
        size_t size = readUint32(data + at + 12), offset = readUint32(data + at + 16);
        *zip = ZipArchive{data, length, offset, entries};
        if ((inZip64(entries, 2) || inZip64(size, 4) || inZip64(offset, 4)) && readZip64End(data, at, zip))
            return ZIP_OK;
        bool oneDisk = readUint16(data + at + 4) == 0 && readUint16(data + at + 6) == 0 &&
                       readUint16(data + at + 8) == entries;
        return oneDisk && offset <= at && size <= at - offset ? ZIP_OK : ZIP_DAMAGED;
    }
    return ZIP_NOT_ZIP;
}

// Part names are compared as ASCII, without regard to case; some zip writers of Windows put
// backslashes between folders.
static bool sameName(const char *a, const char *b, size_t length)
{
    for (size_t i = 0; i < length; i++)
        if (upperAscii(a[i] == '\\' ? '/' : a[i]) != upperAscii(b[i] == '\\' ? '/' : b[i]))
            return false;
    return true;
}

// What the directory says of one entry.
struct ZipEntry {
    unsigned flags, method;
    unsigned long checksum;
    unsigned long long packedSize, size, header;
};

// The sizes and the header's place too large for the entry's own fields, from its Zip64
// extra field (they stand there in this order, each only when its own field is all ones).
static bool readZip64Sizes(const unsigned char *extra, size_t extraLength, ZipEntry *entry)
{
    for (size_t at = 0; at + 4 <= extraLength;) {
        size_t length = readUint16(extra + at + 2);
        if (at + 4 + length > extraLength)
            return false;
        if (readUint16(extra + at) == ZIP64_EXTRA_FIELD) {
            const unsigned char *value = extra + at + 4, *end = value + length;
            for (unsigned long long *field : {&entry->size, &entry->packedSize, &entry->header}) {
                if (!inZip64(*field, 4))
                    continue;
                if (end - value < 8)
                    return false;
                *field = readUint64(value);
                value += 8;
            }
            return true;
        }
        at += 4 + length;
    }
    return !inZip64(entry->size, 4) && !inZip64(entry->packedSize, 4) && !inZip64(entry->header, 4);
}

// Finds name in the directory, every entry of which is checked to lie inside it. A name
// given to two entries names no part: which of them would be meant?
static ZipResult findEntry(const ZipArchive *zip, const char *name, ZipEntry *entry)
{
    size_t nameLength = strlen(name);
    size_t at = zip->directory;
    bool found = false;
    for (size_t i = 0; i < zip->entryCount; i++) {
        const unsigned char *record = zip->bytes + at;
        if (zip->length - at < DIRECTORY_ENTRY_SIZE || readUint32(record) != DIRECTORY_SIGNATURE)
            return ZIP_DAMAGED;
        size_t length = readUint16(record + 28);
        size_t next = at + DIRECTORY_ENTRY_SIZE + length + readUint16(record + 30) + readUint16(record + 32);
        if (next > zip->length)
            return ZIP_DAMAGED;
        const char *entryName = (const char *)record + DIRECTORY_ENTRY_SIZE;
        if (length == nameLength && sameName(entryName, name, length)) {
            *entry = ZipEntry{readUint16(record + 8), readUint16(record + 10), readUint32(record + 16),
                              readUint32(record + 20), readUint32(record + 24), readUint32(record + 42)};
            if (found || !readZip64Sizes(record + DIRECTORY_ENTRY_SIZE + length, readUint16(record + 30), entry))
                return ZIP_DAMAGED;
            found = true;
        }
        at = next;
    }
    return found ? ZIP_OK : ZIP_MISSING;
}

static voidpf zlibAllocate(voidpf, uInt count, uInt size)
{
    return allocateZeroed(count, size);
}

static void zlibFree(voidpf, voidpf block)
{
    freeMemory(block);
}

// The CRC-32 of zip (and gzip, and PNG), from a table made on first use. zlib's own brings
// 8 KB of tables into the program, and its inflate the checksums a zip entry does not use:
// the entries are inflated with inflateBack, which has neither.
static unsigned long crc32Of(const unsigned char *bytes, size_t length)
{
    static unsigned long table[256];
    if (table[1] == 0) {
        for (unsigned n = 0; n < 256; n++) {
            unsigned long c = n;
            for (int k = 0; k < 8; k++)
                c = c & 1 ? 0xEDB88320UL ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    }
    unsigned long crc = 0xFFFFFFFFUL;
    for (size_t i = 0; i < length; i++)
        crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFUL;
}

// Where inflated bytes go: never more than the size the directory gave the entry.
struct InflateTarget {
    TextBuffer *out;
    size_t size;
    ZipResult result;
};

static unsigned noMoreInput(void *, z_const unsigned char **)
{
    return 0; // all the input was given at the start
}

static int takeInflated(void *context, unsigned char *bytes, unsigned count)
{
    InflateTarget *target = (InflateTarget *)context;
    if (target->out->length + count > target->size)
        target->result = ZIP_DAMAGED; // more than the directory said: the size was a lie
    else if (!appendBytes(target->out, (const char *)bytes, count))
        target->result = ZIP_NO_MEMORY;
    return target->result != ZIP_OK; // nonzero stops the inflating
}

// Inflates packed (raw deflate) into out: exactly size bytes, or the entry is damaged.
static ZipResult inflateEntry(const unsigned char *packed, size_t packedSize, size_t size, TextBuffer *out)
{
    z_stream stream = {};
    stream.zalloc = zlibAllocate;
    stream.zfree = zlibFree;
    unsigned char *window = (unsigned char *)allocateMemory(1U << MAX_WBITS);
    if (window == nullptr || inflateBackInit(&stream, MAX_WBITS, window) != Z_OK) {
        freeMemory(window);
        return ZIP_NO_MEMORY;
    }
    stream.next_in = (z_const Bytef *)packed;
    stream.avail_in = (uInt)packedSize;
    InflateTarget target = {out, size, ZIP_OK};
    int status = inflateBack(&stream, noMoreInput, nullptr, takeInflated, &target);
    inflateBackEnd(&stream);
    freeMemory(window);
    if (target.result != ZIP_OK)
        return target.result;
    if (status == Z_MEM_ERROR)
        return ZIP_NO_MEMORY;
    // A broken stream, one that ends before its end, or fewer bytes than the directory said.
    return status == Z_STREAM_END && out->length == size ? ZIP_OK : ZIP_DAMAGED;
}

ZipResult readZipEntry(const ZipArchive *zip, const char *name, TextBuffer *out, size_t limit)
{
    clearBuffer(out);
    ZipEntry entry;
    ZipResult found = findEntry(zip, name, &entry);
    if (found != ZIP_OK)
        return found;
    if (entry.flags & FLAG_ENCRYPTED)
        return ZIP_ENCRYPTED;
    if (entry.size > limit)
        return ZIP_TOO_LARGE;
    if (entry.header > zip->directory || zip->directory - entry.header < LOCAL_HEADER_SIZE)
        return ZIP_DAMAGED;
    const unsigned char *header = zip->bytes + entry.header;
    size_t nameLength = readUint16(header + 26);
    size_t start = entry.header + LOCAL_HEADER_SIZE + nameLength + readUint16(header + 28);
    if (readUint32(header) != LOCAL_SIGNATURE || start > zip->directory || entry.packedSize > zip->directory - start)
        return ZIP_DAMAGED; // the data would run into the directory or past the file
    if (nameLength != strlen(name) || !sameName((const char *)header + LOCAL_HEADER_SIZE, name, nameLength))
        return ZIP_DAMAGED; // the directory points at another entry's data
    const unsigned char *packed = zip->bytes + start;
    ZipResult result;
    if (entry.method == METHOD_STORED)
        result = entry.packedSize != entry.size ? ZIP_DAMAGED
               : appendBytes(out, (const char *)packed, entry.size) ? ZIP_OK : ZIP_NO_MEMORY;
    else if (entry.method == METHOD_DEFLATED)
        result = inflateEntry(packed, entry.packedSize, entry.size, out);
    else
        result = ZIP_DAMAGED;
    if (result == ZIP_OK && crc32Of((const unsigned char *)bufferText(out), out->length) != entry.checksum)
        result = ZIP_DAMAGED;
    if (result != ZIP_OK)
        clearBuffer(out);
    return result;
}
