// Every save, export and reader, failed at each of its file calls in turn.
#include "common/file_io.h"
#include "interchange/text_encoding.h"
#include "store/contact_list.h"
#include "tests/support/contacts.h"
#include "tests/support/file_formats.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

// Each reports the failure, the file that was there before stays byte for byte, and no
// temporary file is left.
TEST(FailedWrites, EverySaveAndExportKeepsThePreviousFile)
{
    for (size_t f = 0; f < fileFormatCount; f++) {
        const FileFormat &writer = fileFormats[f];
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

// Every reader, failed at each of its file calls in turn, reports it and leaves a list
// whose count is the records it holds.
TEST(FailedReads, EveryReaderReportsAFailedRead)
{
    for (size_t f = 0; f < fileFormatCount; f++) {
        const FileFormat &format = fileFormats[f];
        TempDir dir;
        std::string path = dir.path(format.file);
        clearContacts();
        addContact("张三", "13800000000", "同事");
        addContact("Li", "555", "");
        ASSERT_EQ(1, format.write(path.c_str())) << format.what;

        clearContacts();
        resetFileCallCount();
        ASSERT_EQ(1, format.read(path.c_str())) << format.what;
        const long calls = fileCallCount();
        const int whole = contactCount;
        // The last call closes a file already read whole: its failure loses nothing.
        for (long n = 1; n <= calls; n++) {
            clearContacts();
            resetFileCallCount();
            failFileCallAt(n);
            EXPECT_EQ(n == calls ? 1 : 0, format.read(path.c_str())) << format.what << ", call " << n;
            EXPECT_EQ(n == calls ? whole : (int)contactLines().size(), contactCount)
                << format.what << ", call " << n;
        }
        resetFileCallCount();
    }
    clearContacts();
}
