// Zip archives, as Office keeps a workbook's parts in one: the central directory is read and
// every entry checked against the file before its data is trusted; an entry's data is
// inflated by zlib, never past the size the directory gives it nor past a limit.
#pragma once

#include "common/text_buffer.h"

#include <cstddef>

enum ZipResult {
    ZIP_OK,
    ZIP_NOT_ZIP,    // no end-of-directory record: some other kind of file
    ZIP_DAMAGED,    // a directory, header, size or checksum that does not hold
    ZIP_TOO_LARGE,  // an entry that inflates past the limit asked for
    ZIP_ENCRYPTED,  // an entry that only a password opens
    ZIP_MISSING,    // no entry of that name
    ZIP_NO_MEMORY
};

// An archive in memory; its bytes must outlive it.
struct ZipArchive {
    const unsigned char *bytes;
    size_t length;
    size_t directory;   // where the central directory starts
    size_t entryCount;
};

ZipResult openZip(const char *bytes, size_t length, ZipArchive *zip);
// Replaces out's content with the data of the entry called name (compared without regard to
// case, as part names are); ZIP_TOO_LARGE when it would be more than limit bytes.
ZipResult readZipEntry(const ZipArchive *zip, const char *name, TextBuffer *out, size_t limit);
