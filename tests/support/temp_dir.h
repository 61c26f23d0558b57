// Test helpers: a scratch folder removed after each test, and whole-file reads and writes.
#pragma once

#include <string>
#include <vector>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    // Full path of name inside the folder.
    std::string path(const std::string &name) const;
    // Names of the files in the folder (in the ANSI code page on Windows), sorted.
    std::vector<std::string> files() const;
    // The same names joined by spaces.
    std::string listing() const;

private:
    std::string root;
};

std::string readFileBytes(const std::string &path);
void writeFileBytes(const std::string &path, const std::string &bytes);
