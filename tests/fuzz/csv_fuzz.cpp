// The CSV reader on arbitrary bytes: the header, then the records with a fixed mapping that
// reaches columns far to the right.
#include "interchange/csv_format.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    CsvFile csv;
    if (openCsvBytes((const char *)data, size, &csv) != 0)
        return 0;
    if (csvColumnCount < 0 || csvColumnCount > CSV_MAX_COLUMNS)
        abort();
    for (int column = 0; column < csvColumnCount; column++)
        if (memchr(csvColumnNames[column], '\0', CSV_COLUMN_NAME_SIZE) == nullptr)
            abort();
    csvNameColumn = 0;
    csvNumberColumn = 2;
    csvRemarkColumn = 127;
    importCsvRecords(&csv);
    closeCsv(&csv);
    checkAndClearContacts();
    return 0;
}
