// Menu commands and the export dialog for plain-text contact files.
#pragma once

void importTextCommand();
void exportTextCommand();
