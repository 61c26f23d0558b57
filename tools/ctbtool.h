// ctbtool: the contact book's command-line companion, on the same core as the program.
#pragma once

#include <cstdio>

enum {
    TOOL_OK = 0,
    TOOL_USAGE = 1,
    TOOL_CANNOT_OPEN = 6, // loadBook's results 2 to 5 are passed on as they are
    TOOL_WRITE_FAILED = 7
};

// Runs one ctbtool command; output goes to out, messages to err, both in UTF-8.
// Returns the process exit code.
int runCtbtool(int argc, char **argv, FILE *out, FILE *err);
