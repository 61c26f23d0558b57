// Commands on the book as a whole, and the files Explorer hands the program.
#pragma once

#include <windows.h>

#include <shellapi.h>

void newBook();
void openBook();
// Open's step after the file chooser: the book at path replaces the list, or the user is told
// why it cannot.
void openBookFile(const char *path);
void saveCurrentBook();
void saveBookAs();
void exitProgram();

// The command line Explorer starts the program with for "Open with" or a book dropped on its
// file: a book's path, quoted or not, which opens as Open opens it. Nothing for an empty one.
void openCommandLineBook(const char *commandLine);
// Files dropped on the main window, one after another: a book opens as Open opens it, a
// vCard, text or CSV file imports as its import command does, a folder imports its vCards.
void openDroppedFiles(HDROP drop);
