// Every save and export, failed at each of its file calls in turn: it reports the failure,
// the file that was there before stays byte for byte, and no temporary file is left.
#include "bookfile/book_file.h"
#include "common/file_io.h"
#include "interchange/csv_format.h"
#include "interchange/text_encoding.h"
#include "interchange/text_format.h"
#include "interchange/vcard_format.h"
#include "store/contact_list.h"
#include "tests/support/contacts.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

struct Writer {
    const char *what;
    const char *file;
    int (*write)(const char *path); // 1 written
};

static int writeText(const char *path) { return exportText(path, ',', 0, 1); }
static int writeCsv(const char *path) { return exportCsv(path, 0); }
static int writeOneVCard(const char *path)
{
    return exportVCard(path, firstContact) == VCARD_WRITTEN;
}

TEST(FailedWrites, EverySaveAndExportKeepsThePreviousFile)
{
    selectAnsiLocale();
    const Writer writers[] = {
        {"saveBook", "book.ctb", saveBook},    {"exportText", "list.txt", writeText},
        {"exportCsv", "list.csv", writeCsv},   {"exportVCard", "one.vcf", writeOneVCard},
        {"exportVCardList", "all.vcf", exportVCardList},
    };
    for (const Writer &writer : writers) {
        TempDir dir;
        std::string path = dir.path(writer.file);
        clearContacts();
        addContact("旧的", "1", "old");
        ASSERT_EQ(1, writer.write(path.c_str())) << writer.what;
        const std::string before = readFileBytes(path);
        clearContacts();
        addContact("张三", "13800000000", "同事");
        addContact("Li, Lei", "555", "a \"remark\"");

        resetFileCallCount();
        ASSERT_EQ(1, writer.write(dir.path("count").c_str())) << writer.what;
        const long calls = fileCallCount();
        remove(dir.path("count").c_str());
        for (long n = 1; n <= calls; n++) {
            resetFileCallCount();
            failFileCallAt(n);
            EXPECT_EQ(0, writer.write(path.c_str())) << writer.what << ", call " << n;
            EXPECT_EQ(before, readFileBytes(path)) << writer.what << ", call " << n;
            EXPECT_EQ(writer.file, dir.listing()) << writer.what << ", call " << n;
        }
        resetFileCallCount();
    }
    clearContacts();
}

// Every reader, failed at each of its file calls in turn, reports it and appends nothing.
TEST(FailedReads, EveryImportReportsAFailedRead)
{
    TempDir dir;
    std::string cards = dir.path("in.vcf"), text = dir.path("in.txt"), csv = dir.path("in.csv");
    writeFileBytes(cards, "BEGIN:VCARD\r\nN:;A;;;\r\nEND:VCARD\r\n");
    writeFileBytes(text, "A,1\r\n");
    writeFileBytes(csv, "n,p\r\nA,1\r\n");
    for (long n = 1; n <= 2; n++) {
        clearContacts();
        resetFileCallCount();
        failFileCallAt(n);
        EXPECT_EQ(0, importVCard(cards.c_str())) << "call " << n;
        resetFileCallCount();
        failFileCallAt(n);
        EXPECT_EQ(-1, importText(text.c_str())) << "call " << n;
        resetFileCallCount();
        failFileCallAt(n);
        CsvFile file;
        EXPECT_EQ(0, openCsv(csv.c_str(), &file)) << "call " << n;
        EXPECT_EQ(0, contactCount);
    }
    resetFileCallCount();
}
