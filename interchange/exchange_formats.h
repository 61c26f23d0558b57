// The files the program exchanges contacts through, in one table, with one contract for
// their readers and writers. The address book adds its own row (bookfile/book_file.h).
#pragma once

#include <cstddef>

// Every reader returns the contacts it appended (0 or more), or minus the reason it could
// read nothing. A reader that runs out of memory part of the way stops there and says so; the
// contacts it appended stay.
enum ReadFailure {
    READ_CANNOT_OPEN = -1, // cannot be opened or read, or is no contact file at all
    // -2 to -5: the address book's refusals (LoadResult)
    READ_NO_MEMORY = -6,
    // A workbook's refusals
    READ_NO_ROWS = -7,          // its first worksheet has no row with anything in it
    READ_PASSWORD = -8,         // it is protected by a password
    READ_OLD_WORKBOOK = -9,     // an Excel 97-2003 workbook (.xls), not read
    READ_TOO_LARGE = -10,       // a part or its table would pass XLSX_SIZE_LIMIT
};

// What a writer is asked for besides the file.
struct ExportOptions {
    char separator;   // text files: ' ' or ','
    bool header;      // text files: a header line first
    bool checkedOnly; // only the ticked contacts
};

struct FileFormat {
    const char *name;      // as the program names it to the user: "txt", "vcf", "CSV"
    const char *extension; // ".txt"
    // Appends the file's contacts: how many, or a ReadFailure. The tables (CSV and Excel)
    // take their columns from csvNameColumn, csvNumberColumn and csvRemarkColumn.
    int (*read)(const char *path);
    // Writes the contacts to path; false when it failed, and the file that was there is
    // then as it was. Null for a format that is only read.
    bool (*write)(const char *path, const ExportOptions *options);
};

extern const FileFormat textFormat, vcardFormat, csvFormat, xlsxFormat, xlsFormat;
extern const FileFormat *const exchangeFormats[];
extern const size_t exchangeFormatCount;

// The format of path, by its extension in any case, among count formats; null for none.
const FileFormat *findFormat(const char *path, const FileFormat *const *formats, size_t count);
