// What the core needs from the operating system, in one place per platform
// (platform_win.cpp, platform_posix.cpp).
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdio>

// The separator between a folder and a file name in a path.
extern const char platformFolderSeparator[];

// Switches the C runtime's locale to the ANSI code page: the user's default on Windows; the
// GBK locale elsewhere, where the program's ANSI code page is always GBK.
void platformSelectAnsiLocale();
// True when c starts a double-byte character in the ANSI code page.
bool platformIsLeadByte(unsigned char c);
// vsnprintf of the system's own C runtime; may return -1, and leave dst unterminated, when
// the text does not fit.
int platformFormat(char *dst, size_t size, const char *format, va_list args);
enum PathKind { PATH_MISSING, PATH_FILE, PATH_FOLDER };
// What is at path.
PathKind platformPathKind(const char *path);
// Why a new file could not be created.
enum NewFileFailure : int {
    NEW_FILE_FAILED,     // for any other reason
    NEW_FILE_NAME_TAKEN, // a file of that name is there
    NEW_FILE_DENIED      // the folder takes no new file: it may be read-only, or allow only changes
};
// Creates a file that does not exist yet, for writing; null when it cannot be created, with
// the reason in *failure.
FILE *platformCreateNewFile(const char *path, NewFileFailure *failure);
// Flushes a file open for writing through to the disk; false when it failed.
bool platformFlushFile(FILE *file);
// Cuts a file open for writing at the position written to; false when it failed.
bool platformTruncateFile(FILE *file);
// True for a file marked read-only (on Windows the attribute; elsewhere no write permission
// for anyone, which holds for root too).
bool platformIsReadOnly(const char *path);
// Replaces target by source in one step, written through to the disk. A target marked
// read-only is kept and the call fails, as Windows itself does (Wine would replace it).
bool platformReplaceFile(const char *source, const char *target);
// Decodes bytes in a charset of findCharset ("BIG5", "SHIFT_JIS", "WINDOWS-1252", ...) into
// at most room code points, through the system's own conversion for it; *count gets how
// many. A byte sequence the charset does not define becomes U+FFFD. False for a charset the
// program or the system does not know.
bool platformDecodeCharset(const char *charset, const char *bytes, size_t length,
                           unsigned long *points, size_t room, size_t *count);
// The key under which the file system compares a file name: letters folded to one case as
// the system folds them. Never folds the trail byte of a double-byte character.
void platformFileNameKey(const char *name, char *key, size_t size);
