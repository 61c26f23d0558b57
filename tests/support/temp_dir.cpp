#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
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

std::string TempDir::listing() const
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(root))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const auto &name : names)
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

bool fileExists(const std::string &path)
{
    return fs::exists(path);
}
