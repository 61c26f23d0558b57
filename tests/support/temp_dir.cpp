#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

namespace fs = std::filesystem;

TempDir::TempDir()
{
    std::random_device random;
    fs::path folder = fs::temp_directory_path() / ("vostrelina-test-" + std::to_string(random()));
    fs::create_directories(folder);
    root = folder.string();
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

std::string TempDir::path(const std::string &name) const
{
    return (fs::path(root) / name).string();
}

// File names as the program sees them: in the ANSI code page on Windows.
std::vector<std::string> TempDir::files() const
{
    std::vector<std::string> names;
#ifdef _WIN32
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((root + "\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        if (strcmp(found.cFileName, ".") != 0 && strcmp(found.cFileName, "..") != 0)
            names.push_back(found.cFileName);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
#else
    for (const auto &entry : fs::directory_iterator(root))
        names.push_back(entry.path().filename().string());
#endif
    std::sort(names.begin(), names.end());
    return names;
}

std::string TempDir::listing() const
{
    std::string joined;
    for (const auto &name : files())
        joined += (joined.empty() ? "" : " ") + name;
    return joined;
}

std::string readFileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFileBytes(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), (std::streamsize)bytes.size());
    ASSERT_TRUE(out.good()) << path;
}
