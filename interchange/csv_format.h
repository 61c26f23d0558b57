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
    bool endsField[256]; // the separator, CR and LF
};

// Reads the file and its header into csvColumnNames and csvColumnCount. A first line "sep=X"
// names the separator X. 0, or a ReadFailure: an empty file cannot be read either.
int openCsv(const char *path, CsvFile *csv);
// The same for bytes in memory, already in the ANSI code page (copied).
int openCsvBytes(const char *bytes, size_t length, CsvFile *csv);
void closeCsv(CsvFile *csv);
// The mapping used when the header has fewer than two columns: name 0, number 1, no remark.
void useDefaultCsvMapping();
// The mapping the header suggests: the columns whose names say what they hold, as Google,
// Outlook (English and Chinese), Thunderbird and spreadsheets name them. A name or number no
// column names takes the default mapping's column, or the first after it no field has taken:
// no column serves two fields.
void recognizeCsvColumns();
// Appends one contact per record that has text in a mapped field (the name may be empty);
// returns how many, or READ_NO_MEMORY. The records are read where they stand, once.
int importCsvRecords(CsvFile *csv);
// Opens the table in path with open (a CSV file, a workbook) and imports its records with the
// columns as they are mapped: the contacts appended, or a ReadFailure.
int importTableFile(const char *path, int (*open)(const char *path, CsvFile *csv));
int importCsv(const char *path);

// Writes the header 姓名,号码,备注 and one line per contact (all, or only the ticked ones);
// a field holding a comma, a quote or a line break is quoted. False when it failed.
bool exportCsv(const char *path, bool checkedOnly);
