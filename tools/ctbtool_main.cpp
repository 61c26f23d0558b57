#include "tools/ctbtool.h"

int main(int argc, char **argv)
{
    return runCtbtool(argc, argv, stdout, stderr);
}
