// Menu commands that read and write vCard files.
#pragma once

void importVCardFileCommand();
void importVCardFolderCommand();
void exportVCardFolderCommand();
void exportVCardFileCommand();

// The imports' steps after the chooser and the folder dialog.
void importVCardFile(const char *path);
void importVCardFolder(const char *folder);
