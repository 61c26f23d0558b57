// Excel workbooks (.xlsx): the first worksheet, in the workbook's own order, read as a table
// the way the CSV import reads one. Its first row with anything in it is the header and
// every row after it a record; a cell shows what the spreadsheet shows in it (shared and
// inline strings without their phonetic runs, cached values of formulas, numbers as digits,
// booleans), in the column its reference names.
#pragma once

#include "interchange/csv_format.h"

#include <cstddef>

// The most bytes a part of the workbook may inflate to, and its table may take as CSV.
enum { XLSX_SIZE_LIMIT = 64 << 20 };

// Reads the workbook into csv as CSV text in the ANSI code page, its header taken apart as
// openCsv does. 0, or a ReadFailure: READ_CANNOT_OPEN also for a damaged workbook,
// READ_NO_ROWS, READ_PASSWORD, READ_OLD_WORKBOOK, READ_TOO_LARGE, READ_NO_MEMORY.
int openXlsx(const char *path, CsvFile *csv);
int openXlsxBytes(const char *bytes, size_t length, CsvFile *csv);
// Opens the workbook and imports its records with the columns as they are mapped.
int importXlsx(const char *path);
// A number cell's value as a spreadsheet shows it: at most 15 significant digits, a whole
// number of up to 19 digits as its digits (13912345678, never 1.39E+10 nor 13912345678.0),
// exponent form only far from 1 and short enough for any field (1.2E+20); a value that is no
// number stays as it is.
void showNumber(const char *value, char *out, size_t size);
// What the user is told of a workbook refused for failure: READ_CANNOT_OPEN or one of the
// workbook's own refusals (READ_NO_MEMORY has the program's common message).
const char *workbookRefusal(int failure);
