#include "common/paths.h"

#include <gtest/gtest.h>

#include <string>

struct ExtensionCase {
    const char *path;
    const char *expected;
    ExtensionResult result;
};

TEST(ApplyDefaultExtension, OnlyTheFileNameDecides)
{
    const ExtensionCase cases[] = {
        {"D:\\x\\book", "D:\\x\\book.ctb", EXTENSION_ADDED},
        {"D:\\x\\book.", "D:\\x\\book.ctb", EXTENSION_ADDED},
        {"D:\\x\\book.dat", "D:\\x\\book.dat", EXTENSION_KEPT},
        {"a.ctb", "a.ctb", EXTENSION_KEPT},
        {"C:\\Users\\wang.wei\\通讯录", "C:\\Users\\wang.wei\\通讯录.ctb", EXTENSION_ADDED},
        {"C:\\Users\\wang.wei\\通讯录.", "C:\\Users\\wang.wei\\通讯录.ctb", EXTENSION_ADDED},
        {"D:/old.files/book", "D:/old.files/book.ctb", EXTENSION_ADDED},
        {"D:\\old.\\", "D:\\old.\\.ctb", EXTENSION_ADDED},
        // 0x5C, the byte of \, as the trail byte of a character ends no folder name.
        {"D:\\old.\x81\x5C", "D:\\old.\x81\x5C", EXTENSION_KEPT},
        {"", ".ctb", EXTENSION_ADDED},
    };
    for (const ExtensionCase &c : cases) {
        char path[256];
        snprintf(path, sizeof path, "%s", c.path);
        EXPECT_EQ(c.result, applyDefaultExtension(path, sizeof path, ".ctb")) << c.path;
        EXPECT_STREQ(c.expected, path) << c.path;
    }
}

// A path that cannot take the extension is kept as typed, for the chooser to refuse.
TEST(ApplyDefaultExtension, NeverOverflowsTheBuffer)
{
    for (size_t length : {250u, 251u, 252u, 255u}) {
        char path[257];
        memset(path, 'a', sizeof path);
        std::string typed(length, 'p');
        memcpy(path, typed.c_str(), length + 1);
        ExtensionResult result = applyDefaultExtension(path, 256, ".ctb");
        bool fits = length + 4 <= 255;
        EXPECT_EQ(fits ? EXTENSION_ADDED : EXTENSION_NO_ROOM, result) << length;
        EXPECT_EQ(fits ? typed + ".ctb" : typed, std::string(path)) << length;
        EXPECT_EQ('a', path[256]);
    }
}
