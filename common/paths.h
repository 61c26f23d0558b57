// Small path helpers shared by the choosers and the exports.
#pragma once

#include <cstddef>

// The save chooser's default extension: a path with no full stop gets extension appended; a
// path whose first full stop is its last byte gets the extension in place of the stop; any
// other path is left as it is. The first full stop anywhere decides, folder names included.
// A path that would not fit size bytes with the extension is left as the user typed it.
void applyDefaultExtension(char *path, size_t size, const char *extension);
