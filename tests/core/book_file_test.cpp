// The address-book file: exact bytes on disk, every refusal code, and saves that never lose
// the file that was there before.
#include "bookfile/book_file.h"

#include "common/file_io.h"
#include "common/text.h"
#include "store/contact_list.h"
#include "tests/support/contacts.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

// The 12-byte header: magic, version and count, each a little-endian 32-bit number.
static std::string header(int32_t magic, int32_t version, int32_t count)
{
    std::string bytes;
    for (uint32_t value : {(uint32_t)magic, (uint32_t)version, (uint32_t)count})
        for (int shift = 0; shift < 32; shift += 8)
            bytes += (char)(value >> shift);
    return bytes;
}

class BookFileTest : public ::testing::Test {
protected:
    void SetUp() override { clearContacts(); }
    void TearDown() override
    {
        clearContacts();
        resetFileCallCount();
    }
    TempDir dir;
    std::string book = dir.path("book.ctb");
};

TEST_F(BookFileTest, EmptyListIsTheTwelveByteHeader)
{
    // The user's own files beside the book are never touched, whatever their names.
    const char *const others[] = {"book.ctb.tmp", "book.ctb.~00", "book.ctb.~01"};
    for (const char *name : others)
        writeFileBytes(dir.path(name), name);
    ASSERT_EQ(1, saveBook(book.c_str()));
    EXPECT_EQ(header(0x00030A33, 1, 0), readFileBytes(book));
    EXPECT_EQ(LOAD_OK, loadBook(book.c_str()));
    EXPECT_EQ(0, contactCount);
    EXPECT_EQ("book.ctb book.ctb.tmp book.ctb.~00 book.ctb.~01", dir.listing())
        << "no temporary file is left behind";
    for (const char *name : others)
        EXPECT_EQ(name, readFileBytes(dir.path(name)));
}

// A record on disk: the contact's three fields whole, bytes after each text's end included.
static std::string recordOf(const Contact *c)
{
    return std::string(c->name, NAME_SIZE) + std::string(c->number, NUMBER_SIZE) +
           std::string(c->remark, REMARK_SIZE);
}

TEST_F(BookFileTest, RecordsRoundTripByteForByteAndLoseTheirTicks)
{
    addContact("张三", "13800000000", "同事");
    addContact("Li", "+86-10-1234", "");
    memset(firstContact->name + 5, 'z', 6); // stale bytes after the NUL travel along
    firstContact->checked = firstContact->next->shown = 1;
    const std::string records = recordOf(firstContact) + recordOf(firstContact->next);
    ASSERT_EQ(1, saveBook(book.c_str()));
    EXPECT_EQ(header(0x00030A33, 1, 2) + records, readFileBytes(book));
    clearContacts();
    ASSERT_EQ(LOAD_OK, loadBook(book.c_str()));
    ASSERT_EQ(2, contactCount);
    EXPECT_EQ(records, recordOf(firstContact) + recordOf(firstContact->next));
    for (const Contact *c = firstContact; c != nullptr; c = c->next)
        EXPECT_EQ(0, c->checked + c->shown);
}

// Every refusal code and its message, in the order the checks run, are in tests/data/dumps.txt;
// here what a load leaves in the list.
TEST_F(BookFileTest, LoadsAnyCountAndKeepsTheWholeRecordsOfATruncatedFile)
{
    writeFileBytes(book, header(0x00030A33, 1, 600) + std::string(600 * 72, 'a'));
    EXPECT_EQ(LOAD_OK, loadBook(book.c_str())) << "more than 512 was once refused";
    EXPECT_EQ(600, contactCount);
    clearContacts();
    writeFileBytes(book, header(0x00030A33, 1, 3) + std::string(2 * 72 + 36, 'r'));
    EXPECT_EQ(LOAD_TRUNCATED, loadBook(book.c_str()));
    EXPECT_EQ(2, contactCount);
}
