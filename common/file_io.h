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
// fwrite of exactly size bytes; 1 when all were written, 0 on a write error.
int writeBytes(FILE *file, const void *data, size_t size);
// Creates a file that does not exist yet, for writing ("wb"); null when it cannot be
// created, with *exists set when a file of that name is already there.
FILE *createNewFile(const char *path, bool *exists);
// Flushes a file open for writing through to the disk; 1 on success.
int flushFile(FILE *file);
// fclose; 1 when the close (and the flush before it) succeeded, 0 otherwise.
int closeFile(FILE *file);
// Moves source over target, replacing target in one step; 1 on success, 0 otherwise.
int replaceFile(const char *source, const char *target);
// Removes a file; failures are ignored (used to clean up after a failed write).
void removeFile(const char *path);

// Reads a whole file into buffer (appending); 1 on success, 0 when it cannot be opened or
// read, or no memory could be had.
struct TextBuffer;
int readWholeFile(const char *path, TextBuffer *buffer);

// Writes a whole file safely: the caller's writer fills a new temporary file next to path,
// which is flushed to the disk and, only when every write, the flush and the close
// succeeded, replaces path. On any failure the temporary file is removed, path is left as
// it was, and 0 is returned. No other file is ever touched.
typedef int (*FileWriter)(FILE *file, const void *context);
int writeFileSafely(const char *path, FileWriter writer, const void *context);

// Fault injection for tests: the Nth file call from now on (counting opens, creations,
// reads, writes, flushes, closes and replaces; 1 is the next call) fails. 0 turns injection off.
void failFileCallAt(long n);
// How many file calls were made since the counter was last reset.
long fileCallCount();
void resetFileCallCount();
