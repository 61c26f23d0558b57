// ctbtool: the contact book's command-line companion, on the same core as the program.
#pragma once

#include <cstdio>

enum ToolExit {
    TOOL_OK = 0,
    TOOL_USAGE = 1,
    // 2 to 5: the address book's refusals (LoadResult), passed on as they are
    TOOL_CANNOT_OPEN = 6,
    TOOL_WRITE_FAILED = 7,
    TOOL_NO_CONTACTS = 8, // convert found no contact, and leaves the output that is there alone
    TOOL_NO_MEMORY = 9
};

// Runs one ctbtool command; output goes to out, messages to err, both in UTF-8.
int runCtbtool(int argc, char **argv, FILE *out, FILE *err);
