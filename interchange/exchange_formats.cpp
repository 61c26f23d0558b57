#include "interchange/exchange_formats.h"

#include "common/text.h"
#include "interchange/csv_format.h"
#include "interchange/text_format.h"
#include "interchange/vcard_format.h"
#include "interchange/xlsx_format.h"

#include <cstring>

static bool writeText(const char *path, const ExportOptions *options)
{
    return exportText(path, options->separator, options->checkedOnly, options->header);
}

static bool writeCsv(const char *path, const ExportOptions *options)
{
    return exportCsv(path, options->checkedOnly);
}

static bool writeVCards(const char *path, const ExportOptions *)
{
    return exportVCardList(path);
}

const FileFormat textFormat = {"txt", ".txt", importText, writeText};
const FileFormat vcardFormat = {"vcf", ".vcf", importVCard, writeVCards};
const FileFormat csvFormat = {"CSV", ".csv", importCsv, writeCsv};
const FileFormat xlsxFormat = {"Excel", ".xlsx", importXlsx, nullptr};
// Excel 97-2003 workbooks are recognised, to be refused with the advice to save them anew.
const FileFormat xlsFormat = {"Excel 97-2003", ".xls", importXlsx, nullptr};

const FileFormat *const exchangeFormats[] = {&textFormat, &vcardFormat, &csvFormat, &xlsxFormat, &xlsFormat};
const size_t exchangeFormatCount = countOf(exchangeFormats);

const FileFormat *findFormat(const char *path, const FileFormat *const *formats, size_t count)
{
    size_t pathLength = strlen(path);
    for (size_t i = 0; i < count; i++) {
        size_t length = strlen(formats[i]->extension);
        if (pathLength >= length && equalsIgnoringCase(path + pathLength - length, formats[i]->extension))
            return formats[i];
    }
    return nullptr;
}
