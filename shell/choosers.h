// File and folder choosers.
#pragma once

#include "shell/main_window.h"

extern char chosenFolder[PATH_SIZE]; // the folder the folder dialog yielded last
