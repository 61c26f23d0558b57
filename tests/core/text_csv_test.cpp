// Plain-text and CSV files: what real programs export reads in, and what this program
// writes reads back.
#include "interchange/csv_format.h"
#include "interchange/text_format.h"

#include "common/text_buffer.h"
#include "interchange/text_encoding.h"
#include "store/contact_list.h"
#include "tests/support/contacts.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

static std::string dataFile(const char *name)
{
    return std::string(TEST_DATA_DIR) + "/" + name;
}

class TextCsvTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        clearContacts();
    }
    void TearDown() override { clearContacts(); }
    Lines importTextOf(const std::string &text)
    {
        clearContacts();
        std::string path = dir.path("in.txt");
        writeFileBytes(path, text);
        importText(path.c_str());
        return contactLines();
    }
    Lines importCsvOf(const std::string &text, int name, int number, int remark)
    {
        clearContacts();
        CsvFile csv;
        EXPECT_EQ(1, openCsvText(text.data(), text.size(), &csv));
        csvNameColumn = name, csvNumberColumn = number, csvRemarkColumn = remark;
        importCsvRecords(&csv);
        closeCsv(&csv);
        return contactLines();
    }
    TempDir dir;
};

struct TextCase {
    const char *what;
    std::string text;
    Lines contacts;
};

TEST_F(TextCsvTest, TextLinesSplitIntoNameNumberAndRemark)
{
    const TextCase cases[] = {
        {"commas", "张三,12345678,同事\r\n", {"张三|12345678|同事"}},
        {"spaces", "张三 12345678 同事\n", {"张三|12345678|同事"}},
        {"numbers keep + - ( ) . # *", "Li +86(10)1234.5678#9* x\n", {"Li|+86(10)1234.5678#9*|x"}},
        {"the remark takes the rest of the line", "A,1,in Beijing, near the park  \r\n",
         {"A|1|in Beijing, near the park"}},
        {"empty number", "张三,,同事\n", {"张三||同事"}},
        {"name alone", "张三\n", {"张三||"}},
        {"a line that starts with a separator has an empty name", ",12345678\n\n \n,,\n",
         {"|12345678|"}},
        {"CR alone ends a line", "A,1\rB,2\r\rC\r\n", {"A|1|", "B|2|", "C||"}},
        {"the program's own header line is no contact", "姓名,号码,备注\r\nA,1,x\r\n姓名,号码,备注\n",
         {"A|1|x", "姓名|号码|备注"}},
        {"the header with spaces too", "姓名 号码 备注\r\nA 1\r\n", {"A|1|"}},
        {"a TAB in the remark becomes a space", "A,1,x\ty\n", {"A|1|x y"}},
        {"a cut keeps nothing after the character that did not fit",
         "A,+86-0755-8888-8888转6\n", {"A|+86-0755-8888-8888|"}},
        {"a remark cut just before a double-byte character",
         "A,1," + std::string(38, 'r') + "张\n", {"A|1|" + std::string(38, 'r')}},
        {"GBK that is also valid UTF-8 stays GBK", "郑强,13800138000\n", {"郑强|13800138000|"}},
        {"accented Latin names in UTF-8", "Jos\xC3\xA9,1\nM\xC3\xBCller,2\n", {"José|1|", "Müller|2|"}},
        {"a byte-order mark where two files were joined", "A,1\r\n\xEF\xBB\xBF" "B,2\r\n",
         {"A|1|", "B|2|"}},
        {"a NUL byte in UTF-8 is a space", std::string("\xE5\xBC\xA0,1,a\0b\nC\n", 13),
         {"张|1|a b", "C||"}},
        {"UTF-16 without a mark", std::string("\0\x4E,\0" "1\0\r\0\n\0", 10), {"一|1|"}},
        {"UTF-16 big-endian without a mark", std::string("\x5F\x20\x4E\x09\0,\0" "1\0\n", 10),
         {"张三|1|"}},
        {"a lone surrogate is one question mark", std::string("\xFF\xFE" "A\0\x00\xD8" "B\0", 8), {"A?B||"}},
        {"trail bytes 0x5C and 0x7C stay in the name", "\xB0\x5C\xB0\x7C,1\n",
         {"\xB0\x5C\xB0\x7C|1|"}},
        {"fields are cut on character boundaries", "张三李四王五赵六,123456789012345678901234\n",
         {"张三李四王|1234567890123456789|"}},
        {"a long line is one contact", "A,1," + std::string(3000, 'r') + "\nB\n",
         {"A|1|" + std::string(39, 'r'), "B||"}},
        {"UTF-8 without a mark", "\xE5\xBC\xA0\xE4\xB8\x89,1\n", {"张三|1|"}},
        {"UTF-8 with a mark", "\xEF\xBB\xBFZhang,1\n", {"Zhang|1|"}},
        {"UTF-16 with a mark", std::string("\xFF\xFE" "A\0,\0" "1\0\n\0", 10), {"A|1|"}},
    };
    for (const TextCase &c : cases)
        EXPECT_EQ(c.contacts, importTextOf(c.text)) << c.what;
    EXPECT_EQ(-1, importText(dir.path("missing.txt").c_str()));
}

// The columns are recognised by their names, as the column dialog offers them.
TEST_F(TextCsvTest, CsvFilesOfMailProgramsAndSpreadsheets)
{
    struct {
        const char *file;
        int name, number, remark;
        Lines contacts;
        int columns;
    } cases[] = {
        {"google_contacts.csv", 0, 33, 34,
         {"张三|+86 138 0013 8000|大学同学", "Li Lei|139-1234-5678|says \"hi\", often"}, 35},
        {"outlook_contacts.csv", 1, 40, 41, {"王|13912345678|公司前台 二楼", "Zhao|(010) 8888-6666|"}, 42},
        {"semicolon_contacts.csv", 0, 1, 2, {"陈静|13800990011|chen@example.com"}, 3},
        {"excel_unicode.csv", 0, 1, 2, {"刘洋|15000001234|朋友"}, 3},
    };
    for (const auto &c : cases) {
        clearContacts();
        CsvFile csv;
        ASSERT_EQ(1, openCsv(dataFile(c.file).c_str(), &csv)) << c.file;
        EXPECT_EQ(c.columns, csvColumnCount) << c.file;
        recognizeCsvColumns();
        EXPECT_EQ(c.name, csvNameColumn) << c.file;
        EXPECT_EQ(c.number, csvNumberColumn) << c.file;
        EXPECT_EQ(c.remark, csvRemarkColumn) << c.file;
        importCsvRecords(&csv);
        closeCsv(&csv);
        EXPECT_EQ(c.contacts, contactLines()) << c.file;
    }
}

TEST_F(TextCsvTest, CsvColumnsRecognisedByTheirNames)
{
    const struct {
        const char *header;
        int name, number, remark;
    } cases[] = {
        {"名,中间名,姓,单位,移动电话,商务电话,备注", 0, 4, 6}, // Outlook in Chinese
        {"First Name,Last Name,Display Name,Primary Email,Work Phone,Home Phone,Mobile Number", 2, 6, 3},
        {"Phone, NAME ,x", 1, 0, -1},                       // any case, spaces around
        {"a,b,c", 0, 1, -1},                                // nothing recognised
        {"姓名,电话,手机", 0, 2, -1},                        // a mobile before any phone
    };
    for (const auto &c : cases) {
        importCsvOf(std::string(c.header) + "\n", 0, 0, 0);
        recognizeCsvColumns();
        EXPECT_EQ(c.name, csvNameColumn) << c.header;
        EXPECT_EQ(c.number, csvNumberColumn) << c.header;
        EXPECT_EQ(c.remark, csvRemarkColumn) << c.header;
    }
}

TEST_F(TextCsvTest, CsvHeaderAndRecordsReadWhole)
{
    std::string header = "A,,\"C, quoted\"," + std::string(80, 'h') + "\r\n";
    CsvFile csv;
    ASSERT_EQ(1, openCsvText(header.data(), header.size(), &csv));
    EXPECT_EQ(4, csvColumnCount);
    EXPECT_STREQ("", csvColumnNames[1]) << "an empty name keeps its place";
    EXPECT_STREQ("C, quoted", csvColumnNames[2]);
    EXPECT_EQ(49u, strlen(csvColumnNames[3]));
    closeCsv(&csv);

    std::string many;
    for (int i = 0; i < 200; i++)
        many += "c" + std::to_string(i) + (i < 199 ? "," : "\n");
    ASSERT_EQ(1, openCsvText(many.data(), many.size(), &csv));
    EXPECT_EQ(128, csvColumnCount);
    closeCsv(&csv);
    EXPECT_EQ(1, openCsvText("", 0, &csv));
    EXPECT_EQ(0, csvColumnCount) << "an empty file has no columns, and is no failure";
    closeCsv(&csv);

    const std::string file = "n,p,r\n"
                             "\"Li, Lei\",555,\"said \"\"hi\"\"\"\n"
                             "  spaced  , 1 , x\n"
                             ",123,no name\n"
                             "\n"
                             "张三,138,\"two\nlines\"";
    EXPECT_EQ(Lines({"Li, Lei|555|said \"hi\"", "spaced|1|x", "|123|no name", "张三|138|two lines"}),
              importCsvOf(file, 0, 1, 2));
    EXPECT_EQ(Lines({"555|555|", "1|1|", "123|123|", "138|138|"}), importCsvOf(file, 1, 1, -2))
        << "one column may fill two fields";
    EXPECT_EQ(Lines({"|555|", "|1|", "|123|", "|138|"}), importCsvOf(file, -1, 1, -1))
        << "without a name column every contact has an empty name";
    EXPECT_EQ(Lines({"|1|", "B|2|"}), importCsvOf("n,p\r,1\rB,2\r", 0, 1, -1))
        << "CR alone ends a record, and the separator after it is a field's";
    EXPECT_EQ(Lines({"A|1|"}), importCsvOf("sep=;\r\nName;Phone\r\nA;1\r\n", 0, 1, -1));
    EXPECT_EQ(2, csvColumnCount) << "Excel's sep= line names the separator and is no header";
    EXPECT_EQ(Lines({"X|1|"}), importCsvOf("\"a,b\";c\nX;1\n", 0, 1, -1));
    EXPECT_STREQ("a,b", csvColumnNames[0]) << "a quoted comma in a semicolon-separated header";
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
