// Menu commands that read and write vCard files.
#pragma once

void importVCardFileCommand();
void importVCardFolderCommand();
void exportVCardFolderCommand();
void exportVCardFileCommand();
