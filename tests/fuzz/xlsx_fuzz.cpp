// The workbook reader on arbitrary bytes, two ways: as a whole file (the zip directory and
// its entries, the compound-file check), and, when the first byte is odd, as the XML of a
// worksheet and of its shared strings (split at the first NUL) packed into a workbook whose
// entries are stored with the right checksums, so that the XML reading is reached.
#include "interchange/xlsx_format.h"
#include "tests/fuzz/fuzz_support.h"

#include <string>
#include <vector>

static unsigned long crc32Of(const std::string &bytes)
{
    unsigned long crc = 0xFFFFFFFFUL;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int k = 0; k < 8; k++)
            crc = crc & 1 ? 0xEDB88320UL ^ (crc >> 1) : crc >> 1;
    }
    return crc ^ 0xFFFFFFFFUL;
}

static void put(std::string *out, unsigned long value, int bytes)
{
    for (int i = 0; i < bytes; i++)
        out->push_back((char)(value >> (8 * i)));
}

// A zip of stored entries, as a workbook's parts.
static std::string storedZip(const std::vector<std::pair<std::string, std::string>> &entries)
{
    std::string zip, directory;
    for (const auto &entry : entries) {
        unsigned long crc = crc32Of(entry.second), offset = zip.size();
        std::string fields; // version, flags, method, time, date, crc, sizes, name length
        put(&fields, 20, 2), put(&fields, 0, 2), put(&fields, 0, 2), put(&fields, 0, 4);
        put(&fields, crc, 4), put(&fields, entry.second.size(), 4), put(&fields, entry.second.size(), 4);
        put(&fields, entry.first.size(), 2);
        put(&zip, 0x04034b50, 4), zip += fields, put(&zip, 0, 2), zip += entry.first + entry.second;
        put(&directory, 0x02014b50, 4), put(&directory, 20, 2), directory += fields;
        put(&directory, 0, 2), put(&directory, 0, 2), put(&directory, 0, 2), put(&directory, 0, 2);
        put(&directory, 0, 4), put(&directory, offset, 4), directory += entry.first;
    }
    unsigned long start = zip.size();
    zip += directory;
    put(&zip, 0x06054b50, 4), put(&zip, 0, 4), put(&zip, entries.size(), 2), put(&zip, entries.size(), 2);
    put(&zip, directory.size(), 4), put(&zip, start, 4), put(&zip, 0, 2);
    return zip;
}

static std::string packedWorkbook(const unsigned char *data, size_t size)
{
    std::string input((const char *)data, size);
    size_t split = input.find('\0');
    std::string sheet = input.substr(0, split);
    std::string strings = split == std::string::npos ? "" : input.substr(split + 1);
    const char *relation = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    return storedZip({
        {"_rels/.rels", std::string("<Relationships><Relationship Id=\"r1\" Type=\"") + relation +
                            "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml", "<workbook><sheets><sheet name=\"s\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels", std::string("<Relationships><Relationship Id=\"rId1\" Type=\"") +
                                           relation + "worksheet\" Target=\"worksheets/sheet1.xml\"/>" +
                                           "<Relationship Id=\"rId2\" Type=\"" + relation +
                                           "sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>"},
        {"xl/worksheets/sheet1.xml", sheet},
        {"xl/sharedStrings.xml", strings},
    });
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    std::string bytes = size > 0 && data[0] % 2 == 1 ? packedWorkbook(data + 1, size - 1)
                                                      : std::string((const char *)data, size);
    CsvFile csv;
    if (openXlsxBytes(bytes.data(), bytes.size(), &csv) != 0)
        return 0;
    if (csvColumnCount < 1 || csvColumnCount > CSV_MAX_COLUMNS)
        abort();
    csvNameColumn = 0;
    csvNumberColumn = 1;
    csvRemarkColumn = 127;
    importCsvRecords(&csv);
    closeCsv(&csv);
    checkAndClearContacts();
    return 0;
}
