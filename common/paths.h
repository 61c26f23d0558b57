// Small path helpers shared by the choosers and the exports.
#pragma once

#include <cstddef>

enum { PATH_SIZE = 256 }; // a path the program keeps: at most 255 bytes and its terminator

enum ExtensionResult {
    EXTENSION_KEPT,   // the file name has an extension of its own: the path is unchanged
    EXTENSION_ADDED,  // the default extension was appended (in place of a trailing full stop)
    EXTENSION_NO_ROOM // the path with the extension would not fit size: the path is unchanged
};

// The save chooser's default extension. Only the file name decides, the part after the last
// \ or /: a name without a full stop gets extension appended, a name ending in a full stop
// gets it in place of the stop, any other name is kept. A full stop in a folder name counts
// for nothing.
ExtensionResult applyDefaultExtension(char *path, size_t size, const char *extension);
