// The core tests' entry point: the code page is chosen once, as the program and ctbtool do.
#include "interchange/text_encoding.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    selectAnsiLocale();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
