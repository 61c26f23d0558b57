// Test helper: every format the program writes, the book among them.
#pragma once

#include "interchange/exchange_formats.h"

#include <string>
#include <vector>

std::vector<const FileFormat *> writtenFormats();
// A file name with the format's extension.
std::string fileNamed(const char *stem, const FileFormat *format);
// Reads path with format, a CSV file with the columns its own writer gives it.
int readBack(const FileFormat *format, const char *path);
// Writes every contact to path with format, with a comma for text.
bool writeAll(const FileFormat *format, const char *path);
