// Test helper: every file the program writes, each with the reader that takes it back.
#pragma once

#include <cstddef>

struct FileFormat {
    const char *what;
    const char *file; // a name with the format's extension
    // Writes the whole list to path; 1 written, 0 failed.
    int (*write)(const char *path);
    // Appends the file's contacts; 1 read, 0 refused or unreadable.
    int (*read)(const char *path);
};

// The book, text, CSV, one vCard (the first contact) and all contacts in one vCard file.
extern const FileFormat fileFormats[];
extern const size_t fileFormatCount;
