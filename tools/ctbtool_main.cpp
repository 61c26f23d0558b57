#include "tools/ctbtool.h"

enum { OUTPUT_BUFFER_SIZE = 1 << 16 };

int main(int argc, char **argv)
{
    // A dump of 100,000 contacts is written in large blocks, not line by line.
    static char outputBuffer[OUTPUT_BUFFER_SIZE];
    setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    return runCtbtool(argc, argv, stdout, stderr);
}
