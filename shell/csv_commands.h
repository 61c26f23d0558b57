// Menu commands and the column dialog for CSV files and Excel workbooks.
#pragma once

void importCsvCommand();
void importXlsxCommand();
void exportCsvCommand();

// The steps after the file chooser: import the file (column dialog included; then every
// contact is shown and the user told when nothing was imported), and export to path after
// asking which contacts.
void importCsvFile(const char *path);
void importXlsxFile(const char *path);
void exportCsvFile(const char *path);
