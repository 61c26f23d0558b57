#include "tests/support/file_formats.h"

#include "bookfile/book_file.h"
#include "interchange/csv_format.h"
#include "interchange/text_format.h"
#include "interchange/vcard_format.h"
#include "store/contact_list.h"


static int readBook(const char *path)
{
    return loadBook(path) == LOAD_OK;
}

static int writeText(const char *path)
{
    return exportText(path, ',', 0, 0);
}

static int readText(const char *path)
{
    return importText(path) >= 0;
}

static int writeCsv(const char *path)
{
    return exportCsv(path, 0);
}

static int readCsv(const char *path)
{
    CsvFile csv;
    if (!openCsv(path, &csv))
        return 0;
    recognizeCsvColumns(); // the writer's header names all three
    importCsvRecords(&csv);
    closeCsv(&csv);
    return 1;
}

static int writeOneVCard(const char *path)
{
    return exportVCard(path, firstContact) == VCARD_WRITTEN;
}

static int readVCard(const char *path)
{
    return importVCard(path) >= 0;
}

const FileFormat fileFormats[] = {
    {"book", "book.ctb", saveBook, readBook},
    {"text", "list.txt", writeText, readText},
    {"CSV", "list.csv", writeCsv, readCsv},
    {"one vCard", "one.vcf", writeOneVCard, readVCard},
    {"vCard list", "all.vcf", exportVCardList, readVCard},
};
const size_t fileFormatCount = sizeof fileFormats / sizeof fileFormats[0];
