// CSV contact files: a header line whose columns the user maps to name, number and remark,
// then one contact per record. Quoting follows RFC 4180.
#pragma once

#include <cstddef>

enum {
    CSV_MAX_COLUMNS = 128,
    CSV_COLUMN_NAME_SIZE = 50, // at most 49 bytes of a column name
    CSV_NO_COLUMN = -1
};

extern char csvColumnNames[CSV_MAX_COLUMNS][CSV_COLUMN_NAME_SIZE];
extern int csvColumnCount;
extern int csvNameColumn, csvNumberColumn, csvRemarkColumn; // negative: not imported

// A CSV file read and converted to the ANSI code page, its header taken apart.
struct CsvFile {
    char *text;
    size_t length;
    size_t dataStart;  // where the first record after the header begins
    char separator;    // ',' or, for a header without commas, ';' or a tab
};

// Reads the file and its header into csvColumnNames and csvColumnCount (none for an empty
// file). A first line "sep=X" names the separator X. 0 when the file cannot be read.
int openCsv(const char *path, CsvFile *csv);
// The same for text already in memory (copied).
int openCsvText(const char *text, size_t length, CsvFile *csv);
void closeCsv(CsvFile *csv);
// The mapping used when the header has fewer than two columns: name 0, number 1, no remark.
void useDefaultCsvMapping();
// Appends one contact per record that has text in a mapped field (the name may be empty);
// returns how many.
int importCsvRecords(const CsvFile *csv);

// Writes the header 姓名,号码,备注 and one line per contact (all, or only the ticked ones);
// a field holding a comma, a quote or a line break is quoted. 1 written, 0 failed.
int exportCsv(const char *path, int checkedOnly);
