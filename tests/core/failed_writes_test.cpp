// Every save, export and reader, failed at each of its file calls and allocations in turn.
#include "common/file_io.h"
#include "common/memory.h"
#include "interchange/text_encoding.h"
#include "store/contact_list.h"
#include "store/contact_tidy.h"
#include "tests/support/contacts.h"
#include "tests/support/file_formats.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <string>

static bool setReadOnly(const std::string &path, bool readOnly)
{
#ifdef _WIN32
    return SetFileAttributesA(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
    return chmod(path.c_str(), readOnly ? 0444 : 0644) == 0;
#endif
}

// Each reports the failure, the file that was there before stays byte for byte, and no
// temporary file is left; so does a write over a file marked read-only, which is still read.
TEST(FailedWrites, EverySaveAndExportKeepsThePreviousFile)
{
    for (const FileFormat *writer : writtenFormats()) {
        TempDir dir;
        std::string file = fileNamed("contacts", writer), path = dir.path(file);
        clearContacts();
        addContact("旧的", "1", "old");
        ASSERT_TRUE(writeAll(writer, path.c_str())) << writer->name;
        const std::string before = readFileBytes(path);
        clearContacts();
        addContact("张三", "13800000000", "同事");
        addContact("Li, Lei", "555", "a \"remark\"");

        resetFileCallCount();
        ASSERT_TRUE(writeAll(writer, dir.path("count").c_str())) << writer->name;
        const long calls = fileCallCount();
        remove(dir.path("count").c_str());
        for (long n = 1; n <= calls; n++) {
            resetFileCallCount();
            failFileCallAt(n);
            EXPECT_FALSE(writeAll(writer, path.c_str())) << writer->name << ", call " << n;
            EXPECT_EQ(before, readFileBytes(path)) << writer->name << ", call " << n;
            EXPECT_EQ(file, dir.listing()) << writer->name << ", call " << n;
        }
        resetFileCallCount();
        ASSERT_TRUE(setReadOnly(path, true));
        EXPECT_FALSE(writeAll(writer, path.c_str())) << writer->name << ", read-only";
        EXPECT_EQ(before, readFileBytes(path)) << writer->name << ", read-only";
        EXPECT_EQ(file, dir.listing()) << writer->name << ", read-only";
        clearContacts();
        EXPECT_EQ(1, readBack(writer, path.c_str())) << writer->name << ", read-only";
        setReadOnly(path, false);
    }
    clearContacts();
}

// In a folder that takes no new file, a file that may be written is written over in place
// (and cut to its new length); a failure on the way still says so.
TEST(FailedWrites, WithoutNewFilesAFileIsWrittenInPlace)
{
    for (const FileFormat *writer : writtenFormats()) {
        TempDir dir;
        std::string file = fileNamed("contacts", writer), path = dir.path(file);
        clearContacts();
        addContact("旧的联系人", "13800000000", "a remark longer than the new one");
        ASSERT_TRUE(writeAll(writer, path.c_str())) << writer->name;
        clearContacts();
        addContact("张三", "1", "");
        resetFileCallCount();
        refuseNewFiles(true);
        EXPECT_TRUE(writeAll(writer, path.c_str())) << writer->name;
        const long calls = fileCallCount();
        for (long n = 1; n <= calls; n++) {
            resetFileCallCount();
            failFileCallAt(n);
            EXPECT_EQ(n == 1, writeAll(writer, path.c_str())) << writer->name << ", call " << n
                                                             << " (the first creates no file)";
        }
        resetFileCallCount();
        refuseNewFiles(false);
        clearContacts();
        EXPECT_EQ(1, readBack(writer, path.c_str())) << writer->name;
        EXPECT_EQ("张三|1|", contactLines().at(0)) << writer->name;
        EXPECT_EQ(file, dir.listing()) << writer->name;
    }
    clearContacts();
}

// A file for every reader: two contacts as each writer writes them, and a workbook as a
// spreadsheet program saves it.
struct FileToRead {
    const FileFormat *format;
    std::string path;
};

static std::vector<FileToRead> filesToRead(const TempDir &dir)
{
    std::vector<FileToRead> files;
    clearContacts();
    addContact("张三", "13800000000", "同事");
    addContact("Li", "555", "");
    for (const FileFormat *format : writtenFormats()) {
        files.push_back({format, dir.path(fileNamed("contacts", format))});
        EXPECT_TRUE(writeAll(format, files.back().path.c_str())) << format->name;
    }
    files.push_back({&xlsxFormat, std::string(TEST_DATA_DIR) + "/readers/xlsx-saved-by-libreoffice.xlsx"});
    clearContacts();
    return files;
}

// Every reader, the sort and the removal of duplicates, each allocation of theirs failed in
// turn: each says it ran out of memory, the list holding whole records; the tidy-ups leave it
// as it was.
TEST(FailedAllocations, EveryReaderAndTidyUpSaysSo)
{
    TempDir dir;
    for (const FileToRead &file : filesToRead(dir)) {
        const char *name = file.format->name, *path = file.path.c_str();
        clearContacts();
        failAllocationAt(0);
        ASSERT_GT(readBack(file.format, path), 0) << name;
        const long allocations = allocationCount();
        for (long n = 1; n <= allocations; n++) {
            clearContacts();
            failAllocationAt(n);
            EXPECT_EQ(READ_NO_MEMORY, readBack(file.format, path)) << name << ", allocation " << n;
            EXPECT_EQ((int)contactLines().size(), contactCount) << name << ", allocation " << n;
        }
        failAllocationAt(0);
    }
    const std::vector<std::string> before = {"张三|1|", "李四|1|", "张三|1|"};
    for (int (*tidy)() : {+[] { return sortContactsByName() ? 0 : -1; }, removeDuplicates}) {
        clearContacts();
        for (const char *name : {"张三", "李四", "张三"})
            addContact(name, "1");
        failAllocationAt(1);
        EXPECT_EQ(-1, tidy());
        failAllocationAt(0);
        EXPECT_EQ(before, contactLines());
    }
    clearContacts();
}

// Every reader, failed at each of its file calls in turn, reports it and leaves a list
// whose count is the records it holds.
TEST(FailedReads, EveryReaderReportsAFailedRead)
{
    TempDir dir;
    for (const FileToRead &file : filesToRead(dir)) {
        const char *name = file.format->name, *path = file.path.c_str();
        clearContacts();
        resetFileCallCount();
        const int whole = readBack(file.format, path);
        ASSERT_GT(whole, 0) << name;
        const long calls = fileCallCount();
        // The last call closes a file already read whole: its failure loses nothing.
        for (long n = 1; n <= calls; n++) {
            clearContacts();
            resetFileCallCount();
            failFileCallAt(n);
            int result = readBack(file.format, path);
            EXPECT_EQ(n == calls ? whole : -1, result >= 0 ? contactCount : -1) << name << ", call " << n;
            EXPECT_EQ(0, openFileCount()) << name << ", call " << n;
            EXPECT_EQ((int)contactLines().size(), contactCount) << name << ", call " << n;
        }
        resetFileCallCount();
    }
    clearContacts();
}
