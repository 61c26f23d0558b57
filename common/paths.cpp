#include "common/paths.h"

#include "common/text.h"

#include <cstring>

// The file name part of path: after its last \ or /. Walked a character at a time, since the
// trail byte of a double-byte character may be 0x5C, the byte of \.
static const char *fileNameOf(const char *path)
{
    const char *name = path;
    for (const char *at = path; *at != '\0'; at += characterWidth(at))
        if (*at == '\\' || *at == '/')
            name = at + 1;
    return name;
}

ExtensionResult applyDefaultExtension(char *path, size_t size, const char *extension)
{
    const char *stop = strchr(fileNameOf(path), '.');
    if (stop != nullptr && stop[1] != '\0')
        return EXTENSION_KEPT;
    size_t length = strlen(path);
    size_t base = stop != nullptr ? length - 1 : length;
    size_t extensionLength = strlen(extension);
    if (base + extensionLength + 1 > size)
        return EXTENSION_NO_ROOM;
    memcpy(path + base, extension, extensionLength + 1);
    return EXTENSION_ADDED;
}
