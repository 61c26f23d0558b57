// The address-book file (.ctb): a 12-byte little-endian header (magic, version, count) and
// 72 bytes per contact (name 12, number 20, remark 40), in list order.
#pragma once

#include "interchange/exchange_formats.h"

#include <cstddef>
#include <cstdint>

const int32_t programVersion = 1;
const uint32_t bookMagic = 0x00030A33;

enum LoadResult {
    LOAD_CANNOT_READ = 0, // cannot be opened or read
    LOAD_OK = 1,
    LOAD_BAD_MAGIC = 2, // also a file shorter than its header
    LOAD_BAD_COUNT = 3,
    LOAD_NEWER_VERSION = 4,
    LOAD_TRUNCATED = 5,
    LOAD_NO_MEMORY = 6
};

// Writes the whole contact list to path, replacing the file only once everything was
// written. False when it failed (the file on disk is then as it was).
bool saveBook(const char *path);
// Appends the file's contacts to the list. On failure the records read before it stay
// appended, for the caller to drop.
LoadResult loadBook(const char *path);

// The message the Open command shows for a failed load, with the file's path in it.
void formatLoadMessage(char *text, size_t size, LoadResult result, const char *path);

// The book as a row of the table of formats: its reader returns minus its LoadResult when it
// refuses a file (READ_CANNOT_OPEN for LOAD_CANNOT_READ).
extern const FileFormat bookFileFormat;
// The LoadResult that a reader's failure stands for.
LoadResult loadResultOf(int readFailure);
