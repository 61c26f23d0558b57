// CSV files as mail programs and spreadsheets write them, and the bytes the text and CSV
// writers put in a file. (What the text reader makes of a file is in tests/data/dumps.txt.)
#include "interchange/csv_format.h"
#include "interchange/text_format.h"

#include "store/contact_list.h"
#include "tests/support/contacts.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class TextCsvTest : public ::testing::Test {
protected:
    void SetUp() override { clearContacts(); }
    void TearDown() override { clearContacts(); }
    TempDir dir;
};

// The columns the dialog preselects, recognised by their names in the headers that mail
// programs and spreadsheets write (their records, read with these columns, are in the sample
// runs). A name that ends in ".csv" is a sample file.
TEST_F(TextCsvTest, CsvColumnsRecognisedByTheirNames)
{
    const struct {
        const char *header;
        int name, number, remark;
    } cases[] = {
        {"google_contacts.csv", 0, 33, 34},
        {"outlook_contacts.csv", 1, 40, 41},
        {"semicolon_contacts.csv", 0, 1, 2},
        {"excel_unicode.csv", 0, 1, 2},
        {"名,中间名,姓,单位,移动电话,商务电话,备注", 0, 4, 6}, // Outlook in Chinese
        {"Phone, NAME ,x", 1, 0, -1},                       // any case, spaces around
        {"a,b,c", 0, 1, -1},                                // nothing recognised
        {"x,Name,y", 1, 2, -1},                              // never one column for two fields
        {"Mobile,a,b", 1, 0, -1},
        {"Notes,x", 1, -1, 0},
    };
    for (const auto &c : cases) {
        bool sample = strstr(c.header, ".csv") != nullptr;
        std::string path = sample ? std::string(TEST_DATA_DIR) + "/" + c.header : dir.path("header.csv");
        if (!sample)
            writeFileBytes(path, std::string(c.header) + "\n");
        CsvFile csv;
        ASSERT_EQ(0, openCsv(path.c_str(), &csv)) << c.header;
        closeCsv(&csv);
        recognizeCsvColumns();
        EXPECT_EQ(c.name, csvNameColumn) << c.header;
        EXPECT_EQ(c.number, csvNumberColumn) << c.header;
        EXPECT_EQ(c.remark, csvRemarkColumn) << c.header;
    }
}

// What the writers put in the file (that every contact comes back is the round-trip test's).
TEST_F(TextCsvTest, WrittenBytesOfTextAndCsv)
{
    addContact("张三", "+86-138", "老同学, 住在 北京", 1);
    addContact("Li, Lei", "", "said \"hi\"\r\nbye");
    std::string path = dir.path("out.txt");
    ASSERT_EQ(1, exportText(path.c_str(), ' ', 1, 1));
    EXPECT_EQ("姓名 号码 备注\r\n张三 +86-138 老同学, 住在 北京\r\n", readFileBytes(path));
    ASSERT_EQ(1, exportCsv(path.c_str(), 0));
    EXPECT_EQ("姓名,号码,备注\r\n张三,+86-138,\"老同学, 住在 北京\"\r\n"
              "\"Li, Lei\",,\"said \"\"hi\"\"\r\nbye\"\r\n",
              readFileBytes(path));
    firstContact->checked = 0;
    ASSERT_EQ(1, exportCsv(path.c_str(), 1));
    EXPECT_EQ("姓名,号码,备注\r\n", readFileBytes(path)) << "no ticked contact: the header only";
    EXPECT_EQ(0, exportText("", ',', 0, 0));
}
