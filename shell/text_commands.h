// Menu commands and the export dialog for plain-text contact files.
#pragma once

void importTextCommand();
void exportTextCommand();
// Import's step after the file chooser.
void importTextFile(const char *path);
