#include "common/paths.h"

#include <cstring>

void applyDefaultExtension(char *path, size_t size, const char *extension)
{
    size_t length = strlen(path);
    const char *stop = strchr(path, '.');
    if (stop != nullptr && stop[1] != '\0')
        return;
    size_t base = stop != nullptr ? length - 1 : length;
    size_t extensionLength = strlen(extension);
    if (base + extensionLength + 1 > size)
        return;
    memcpy(path + base, extension, extensionLength + 1);
}
