#include "common/paths.h"

#include <gtest/gtest.h>

#include <string>

struct ExtensionCase {
    const char *path;
    const char *expected;
};

TEST(ApplyDefaultExtension, FirstFullStopDecides)
{
    const ExtensionCase cases[] = {
        {"D:\\x\\book", "D:\\x\\book.ctb"},
        {"D:\\x\\book.", "D:\\x\\book.ctb"},
        {"D:\\x\\book.dat", "D:\\x\\book.dat"},
        {"D:\\old.files\\book", "D:\\old.files\\book"},
        {"D:\\old.\\book", "D:\\old.\\book"},
        {"", ".ctb"},
    };
    for (const ExtensionCase &c : cases) {
        char path[256];
        snprintf(path, sizeof path, "%s", c.path);
        applyDefaultExtension(path, sizeof path, ".ctb");
        EXPECT_STREQ(c.expected, path) << c.path;
    }
}

TEST(ApplyDefaultExtension, NeverOverflowsTheBuffer)
{
    for (size_t length : {250u, 251u, 252u, 255u}) {
        char path[257];
        memset(path, 'a', sizeof path);
        std::string typed(length, 'p');
        memcpy(path, typed.c_str(), length + 1);
        applyDefaultExtension(path, 256, ".ctb");
        std::string result = path;
        if (length + 4 <= 255)
            EXPECT_EQ(typed + ".ctb", result);
        else
            EXPECT_EQ(typed, result) << "no room: the path stays as typed";
        EXPECT_EQ('a', path[256]);
    }
}
