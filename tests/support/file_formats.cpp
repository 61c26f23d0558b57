#include "tests/support/file_formats.h"

#include "bookfile/book_file.h"
#include "interchange/csv_format.h"

std::vector<const FileFormat *> writtenFormats()
{
    std::vector<const FileFormat *> formats = {&bookFileFormat};
    for (size_t i = 0; i < exchangeFormatCount; i++)
        if (exchangeFormats[i]->write != nullptr)
            formats.push_back(exchangeFormats[i]);
    return formats;
}

std::string fileNamed(const char *stem, const FileFormat *format)
{
    return std::string(stem) + format->extension;
}

int readBack(const FileFormat *format, const char *path)
{
    csvNameColumn = 0;
    csvNumberColumn = 1;
    csvRemarkColumn = 2;
    return format->read(path);
}

bool writeAll(const FileFormat *format, const char *path)
{
    ExportOptions options = {',', false, false};
    return format->write(path, &options);
}
