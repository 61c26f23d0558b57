// Commands on the book as a whole.
#pragma once

void newBook();
void openBook();
// Open's step after the file chooser: the book at path replaces the list, or the user is told
// why it cannot.
void openBookFile(const char *path);
void saveCurrentBook();
void saveBookAs();
void exitProgram();
