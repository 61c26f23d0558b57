// File and folder choosers.
#include "shell/choosers.h"

char chosenFolder[PATH_SIZE];
