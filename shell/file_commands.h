// Commands on the book as a whole.
#pragma once

void newBook();
void openBook();
void saveCurrentBook();
void saveBookAs();
void exitProgram();
