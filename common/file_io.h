// The core's one door to the file system. Every reader and writer opens, reads, writes, closes
// and replaces files through these calls, so a test can make the Nth of them fail and check
// that nothing is lost.
#pragma once

#include <cstddef>
#include <cstdio>

// fopen; null when the file cannot be opened.
FILE *openFile(const char *path, const char *mode);
// fread of up to size bytes; returns the bytes read.
size_t readBytes(FILE *file, void *buffer, size_t size);
// fwrite of exactly size bytes; false on a write error.
bool writeBytes(FILE *file, const void *data, size_t size);
// Creates a file that does not exist yet, for writing ("wb"); null when it cannot be
// created, with the reason in *failure.
enum NewFileFailure : int;
FILE *createNewFile(const char *path, NewFileFailure *failure);
// Flushes a file open for writing through to the disk; false when it failed.
bool flushFile(FILE *file);
// Cuts a file open for writing at the position written to; false when it failed.
bool truncateFile(FILE *file);
// fclose; true when the close (and the flush before it) succeeded.
bool closeFile(FILE *file);
// Moves source over target, replacing target in one step; false when it failed.
bool replaceFile(const char *source, const char *target);
// Removes a file; failures are ignored (used to clean up after a failed write).
void removeFile(const char *path);

// Reads a whole file into buffer (appending).
enum WholeFileRead { WHOLE_FILE_READ, WHOLE_FILE_UNREADABLE, WHOLE_FILE_NO_MEMORY };
struct TextBuffer;
WholeFileRead readWholeFile(const char *path, TextBuffer *buffer);

// Writes a whole file safely: the caller's writer fills a new temporary file next to path,
// which is flushed to the disk and, only when every write, the flush and the close
// succeeded, replaces path. On any failure the temporary file is removed, path is left as
// it was, and false is returned. No other file is ever touched. Where no new file can be
// created beside path (a folder where only existing files may be changed), an existing path
// that is not read-only is written over in place instead; a failure then still returns false.
typedef bool (*FileWriter)(FILE *file, const void *context);
bool writeFileSafely(const char *path, FileWriter writer, const void *context);

// Fault injection for tests: the Nth file call from now on (counting opens, creations,
// reads, writes, flushes, truncations, closes and replaces; 1 is the next call) fails. 0
// turns injection off.
void failFileCallAt(long n);
// Fault injection for tests: while set, no new file can be created, as in a folder where
// only existing files may be changed.
void refuseNewFiles(bool refuse);
// How many file calls were made since the counter was last reset.
long fileCallCount();
// How many files are open: opened or created, and not closed yet.
long openFileCount();
void resetFileCallCount();
