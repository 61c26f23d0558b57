// vCard writing: the lines phones import, and the names a folder export gives its files.
// (What the reader makes of cards is in tests/data/dumps.txt.)
#include "interchange/vcard_format.h"

#include "common/text.h"
#include "store/contact_list.h"
#include "tests/support/contacts.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class VCardTest : public ::testing::Test {
protected:
    void SetUp() override { clearContacts(); }
    void TearDown() override { clearContacts(); }
    TempDir dir;
};

TEST_F(VCardTest, WritesTheLinesPhonesImport)
{
    addContact("张三=;\\,", "+86 138\\", "");
    addContact("A", "010转1", "老同学, 北京\\");
    std::string path = dir.path("one.vcf");
    ASSERT_TRUE(exportVCard(path.c_str(), firstContact));
    EXPECT_EQ("BEGIN:VCARD\r\nVERSION:2.1\r\n"
              "N;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:=E5=BC=A0=E4=B8=89=3D\\;\\\\\\,\r\n"
              "TEL;CELL:+86 138\\\\\r\nX-CLASS:private\r\nEND:VCARD",
              readFileBytes(path));
    ASSERT_TRUE(exportVCard(path.c_str(), firstContact->next));
    EXPECT_NE(std::string::npos,
              readFileBytes(path).find("\r\nTEL;CELL;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:010=E8=BD=AC1\r\n"
                                       "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:"
                                       "=E8=80=81=E5=90=8C=E5=AD=A6, =E5=8C=97=E4=BA=AC\\\\\r\n"))
        << "a number that is not plain ASCII is marked as the name is; a remark is a note";
    ASSERT_TRUE(exportVCardList(path.c_str()));
    std::string all = readFileBytes(path);
    EXPECT_NE(std::string::npos, all.find("END:VCARD\r\nBEGIN:VCARD\r\n")) << "no blank line between";
    EXPECT_EQ("\r\nEND:VCARD", all.substr(all.size() - 11)) << "the file ends with the last card";
    EXPECT_FALSE(exportVCard(dir.path("none/x.vcf").c_str(), firstContact));
}

TEST_F(VCardTest, FolderExportNamesFilesSafelyAndNumbersRepeats)
{
    const char *names[] = {"张三", "张三", "a/b:c", "CON", "",      "dots..",   "张三",
                           "Zhang", "ZHANG", "张三 (3)", "zhang (2)", "CON.x", "李 (2)", "李", "李"};
    for (const char *name : names)
        addContact(name, "1");
    int failures = -1;
    EXPECT_TRUE(exportVCardFolder(dir.path("").c_str(), &failures));
    EXPECT_EQ(0, failures);
    EXPECT_EQ("ZHANG (2).vcf Zhang.vcf _.vcf _CON.vcf _CON.x.vcf a_b_c.vcf dots.vcf "
              "zhang (2) (2).vcf 李 (2).vcf 李 (3).vcf 李.vcf 张三 (2).vcf 张三 (3) (2).vcf "
              "张三 (3).vcf 张三.vcf",
              dir.listing())
        << "no two contacts share a file, numbered names included";
}

struct FileNameCase {
    const char *name;
    const char *file;
};

TEST(VCardFileName, NeverLeadsOutsideTheFolder)
{
    const FileNameCase cases[] = {
        {"..", "_"}, {"a\\..\\b", "a_.._b"}, {"con", "_con"}, {"COM0", "COM0"}, {"aux .x", "_aux .x"},
        {"a?*<>|\"", "a______"}, {"\t", "_"}, {"\xB0\x5C\xB0\x7C", "\xB0\x5C\xB0\x7C"}, // trail bytes are characters
        {"ab\xD5", "ab_"}, // half a character is none
    };
    for (const FileNameCase &c : cases) {
        char file[32];
        vcardFileName(c.name, file, sizeof file);
        EXPECT_STREQ(c.file, file) << c.name;
    }
}
