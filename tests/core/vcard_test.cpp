// vCard reading as phones and mail programs write it, and writing that reads back.
#include "interchange/vcard_format.h"

#include "common/text.h"
#include "common/text_buffer.h"
#include "interchange/text_encoding.h"
#include "store/contact_list.h"
#include "tests/support/contacts.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

// Reads text as importVCard reads a file's bytes.
static Lines readText(const std::string &text)
{
    clearContacts();
    TextBuffer file = {};
    appendBytes(&file, text.data(), text.size());
    normalizeTextFile(&file);
    int appended = importVCardText(bufferText(&file), file.length);
    freeBuffer(&file);
    Lines lines = contactLines(false);
    EXPECT_EQ((int)lines.size(), appended);
    return lines;
}

class VCardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        clearContacts();
    }
    void TearDown() override { clearContacts(); }
    TempDir dir;
};

struct FixtureCase {
    const char *file;
    Lines contacts;
};

TEST_F(VCardTest, ReadsWhatPhonesAndMailProgramsExport)
{
    const FixtureCase cases[] = {
        {"android_contacts.vcf", {"张三|+86 138 0013 8000", "欧阳小明|13912345678", "王芳|"}},
        {"iphone_contacts.vcf", {"José Luis|+34 600 11 22 33", "John Smith|+1 (555) 010-9999"}},
        {"old_phone.vcf", {"李四|13700000007", "赵六|020-87654321"}},
        {"mail_utf16.vcf", {"周杰|18600000000"}},
        {"vcard40_contacts.vcf", {"Conference|+86-10-5555-0101"}},
    };
    for (const FixtureCase &c : cases) {
        clearContacts();
        std::string path = std::string(TEST_DATA_DIR) + "/" + c.file;
        EXPECT_EQ((int)c.contacts.size(), importVCard(path.c_str())) << c.file;
        EXPECT_EQ(c.contacts, contactLines(false)) << c.file;
    }
    EXPECT_EQ(-1, importVCard((std::string(TEST_DATA_DIR) + "/missing.vcf").c_str()));
}

struct TextCase {
    const char *what;
    std::string text;
    Lines contacts;
};

TEST_F(VCardTest, PropertiesInEveryCommonForm)
{
    const TextCase cases[] = {
        {"no field carries over to the next card",
         "BEGIN:VCARD\nN:A\nTEL;CELL:1\nEND:VCARD\nBEGIN:VCARD\nN:B\nEND:VCARD\n", {"A|1", "B|"}},
        {"names and parameters in any case", "begin:vcard\nn:Li;Lei\ntel;type=cell:5\nend:vcard", {"Lei Li|5"}},
        {"a card with only a number has an empty name", "BEGIN:VCARD\nTEL:1\nEND:VCARD", {"|1"}},
        {"a card with neither name nor number adds nothing",
         "BEGIN:VCARD\nN:;;;;\nTEL:\nNOTE:x\nEND:VCARD", {}},
        {"line breaks and tabs in values become spaces",
         "BEGIN:VCARD\nN;QUOTED-PRINTABLE:;A=0D=0AB=09C=0DD;;;\nTEL:1\\n2\nEND:VCARD", {"A B C D|1 2"}},
        {"FN when N is empty", "BEGIN:VCARD\nN:;;;;\nFN:Wang Fang\nEND:VCARD", {"Wang Fang|"}},
        {"lines before the first card", "junk\nN:X\nBEGIN:VCARD\nN:Y\nEND:VCARD", {"Y|"}},
        {"byte-order mark and CR CR LF",
         "\xEF\xBB\xBF" "BEGIN:VCARD\r\r\nN:Z\r\r\nEND:VCARD\r\r\n", {"Z|"}},
        {"escaped semicolon stays in a component", "BEGIN:VCARD\nN:;A\\;B;;;\nEND:VCARD", {"A;B|"}},
        {"encoded semicolon stays in a component",
         "BEGIN:VCARD\nN;ENCODING=QUOTED-PRINTABLE:;A=3BB;;;\nEND:VCARD", {"A;B|"}},
        {"an equals sign without hex digits is text",
         "BEGIN:VCARD\nN;QUOTED-PRINTABLE:;a=zb;;;\nEND:VCARD", {"a=zb|"}},
        {"empty line ends a soft-broken value",
         "BEGIN:VCARD\nN;QUOTED-PRINTABLE:;Ann=\n\nTEL:2\nEND:VCARD", {"Ann|2"}},
        {"soft break drops the continuation's indent",
         "BEGIN:VCARD\nN;QUOTED-PRINTABLE;CHARSET=UTF-8:=E5=BC=\n   =A0;=E4=B8=89\nEND:VCARD",
         {"张三|"}},
        {"2.1 lines folded by a phone", "BEGIN:VCARD\nVERSION:2.1\nN:;Mar\n ia;;;\nEND:VCARD", {"Maria|"}},
        {"a colon inside quotes is no separator",
         "BEGIN:VCARD\nN:;Q;;;\nTEL;TYPE=\"cell:x\":77\nEND:VCARD", {"Q|77"}},
        {"PREF without CELL when there is no mobile",
         "BEGIN:VCARD\nN:;P;;;\nTEL;HOME:1\nTEL;WORK;PREF:2\nEND:VCARD", {"P|2"}},
        {"first TEL when nothing is marked", "BEGIN:VCARD\nN:;F;;;\nTEL:1\nTEL:2\nEND:VCARD", {"F|1"}},
        {"GBK bytes under CHARSET=GB2312", "BEGIN:VCARD\nN;CHARSET=GB2312:张;三\nEND:VCARD", {"张三|"}},
        {"ANSI bytes without a charset", "BEGIN:VCARD\nN:李;四\nEND:VCARD", {"李四|"}},
        {"earlier three-byte form of U+00B7",
         "BEGIN:VCARD\nN;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:=E7=BA=A6=E7=BF=B0=E0=82=B7\nEND:VCARD",
         {"约翰·|"}},
        {"invalid UTF-8 becomes the default character",
         "BEGIN:VCARD\nN;CHARSET=UTF-8;QUOTED-PRINTABLE:;A=FFB;;;\nEND:VCARD", {"A?B|"}},
        {"emoji becomes the default character",
         "BEGIN:VCARD\nVERSION:3.0\nN:;Li\xF0\x9F\x98\x80;;;\nEND:VCARD", {"Li?|"}},
        {"spaces trimmed after the cut", "BEGIN:VCARD\nFN:Conference Room\nEND:VCARD", {"Conference|"}},
        {"a nested card belongs to no one",
         "BEGIN:VCARD\nN:;Boss;;;\nAGENT:BEGIN:VCARD\nN:;Agent;;;\nTEL:9\nEND:VCARD\nTEL:1\nEND:VCARD",
         {"Boss|1"}},
        {"BEGIN and END with spaces or tabs around VCARD",
         "BEGIN:VCARD \nN:A\nEND:VCARD \nBEGIN:VCARD\t\nN:B\nEND: vcard\t\nBEGIN:VCARD\nN:C\nEND:VCARD",
         {"A|", "B|", "C|"}},
        {"a card without END ends at the next BEGIN",
         "BEGIN:VCARD\nN:A\nBEGIN:VCARD\nN:B\nEND:VCARD\nBEGIN:VCARD\nN:C\nEND:VCARD", {"A|", "B|", "C|"}},
        {"a byte-order mark where two files were joined",
         "BEGIN:VCARD\nN:A\nEND:VCARD\r\n\xEF\xBB\xBF" "BEGIN:VCARD\nN:B\nEND:VCARD", {"A|", "B|"}},
        {"raw GBK that is also valid UTF-8 stays GBK",
         "BEGIN:VCARD\nN:郑;强\nTEL:010-12345678转123\nEND:VCARD", {"郑强|010-12345678转123"}},
        {"a GBK trail byte 0x5C is no escape",
         "BEGIN:VCARD\nN;CHARSET=GBK:李;錦\nEND:VCARD\nBEGIN:VCARD\nN:誠\\;運;;;\nEND:VCARD",
         {"李錦|", "誠;運|"}},
        {"PREF with a rank: the lowest wins", "BEGIN:VCARD\nVERSION:4.0\nN:;P;;;\nTEL;PREF=2:2\n"
         "TEL;VALUE=uri;PREF=1:tel:1\nTEL:3\nEND:VCARD", {"P|1"}},
        {"type lists with spaces", "BEGIN:VCARD\nN:;Q;;;\nTEL;TYPE=cell:1\nTEL;TYPE=\"cell, pref\":2\nEND:VCARD",
         {"Q|2"}},
        {"base64 values of 2.1 and 3.0",
         "BEGIN:VCARD\nN;CHARSET=UTF-8;ENCODING=BASE64:5byg5LiJ\nEND:VCARD\n"
         "BEGIN:VCARD\nVERSION:3.0\nFN;ENCODING=b:5byg5LiJ\nTEL;ENCODING=b:MTM4\nEND:VCARD", {"张三|", "张三|138"}},
        {"a soft break at the very end of the file", "BEGIN:VCARD\nN;QUOTED-PRINTABLE:;Ann=", {"Ann|"}},
        {"a 3.0 line folded with a TAB", "BEGIN:VCARD\nVERSION:3.0\nN:;Mar\n\tia;;;\nEND:VCARD", {"Maria|"}},
        {"CHARSET=GB2312 on N in a 3.0 card", "BEGIN:VCARD\nVERSION:3.0\nN;CHARSET=GB2312:张;三\nEND:VCARD",
         {"张三|"}},
        {"a NUL byte is a space", std::string("BEGIN:VCARD\nN:;A\0B;;;\nEND:VCARD", 31), {"A B|"}},
        {"a long line is read whole",
         "BEGIN:VCARD\nNOTE:" + std::string(5000, 'x') + "\nN:;Long;;;\nEND:VCARD", {"Long|"}},
    };
    for (const TextCase &c : cases)
        EXPECT_EQ(c.contacts, readText(c.text)) << c.what;
}

// Names written in other charsets come through the system's conversion for them; an
// unknown charset falls back to the file's own.
TEST_F(VCardTest, DeclaredCharsetsOfOtherCountries)
{
    const TextCase cases[] = {
        {"Big5, trail bytes 0x5C and 0x7C", "N;CHARSET=BIG5:\xA7\xF5;\xA5\x7C\xB3\x5C", {"李四許|"}},
        {"Shift_JIS, trail byte 0x5C", "N;CHARSET=SHIFT_JIS:\x83\x5C", {"ソ|"}},
        {"Windows-1252", "N;CHARSET=WINDOWS-1252:;Jos\xE9;;;", {"José|"}},
        {"ISO-8859-1", "N;CHARSET=ISO-8859-1:;Jos\xE9;;;", {"José|"}},
        {"KOI8-R", "N;CHARSET=KOI8-R:;\xE9\xD7\xC1\xCE;;;", {"Иван|"}},
        {"Windows-1251", "N;CHARSET=WINDOWS-1251:;\xC8\xE2\xE0\xED;;;", {"Иван|"}},
        {"unknown: as without a charset", "N;CHARSET=X-UNKNOWN:张;三", {"张三|"}},
    };
    for (const TextCase &c : cases)
        EXPECT_EQ(c.contacts, readText("BEGIN:VCARD\n" + c.text + "\nEND:VCARD")) << c.what;
}

// UTF-16 without a byte-order mark, whatever its share of ASCII.
TEST_F(VCardTest, Utf16WithoutAMark)
{
    std::u16string card = u"BEGIN:VCARD\r\nN:一;张三\r\nEND:VCARD\r\n";
    std::string little, big;
    for (char16_t unit : card) {
        little += {(char)(unit & 0xFF), (char)(unit >> 8)};
        big += {(char)(unit >> 8), (char)(unit & 0xFF)};
    }
    EXPECT_EQ(Lines({"一张三|"}), readText(little));
    EXPECT_EQ(Lines({"一张三|"}), readText(big));
}

TEST_F(VCardTest, WritesTheSixLinesPhonesImport)
{
    addContact("张三=;\\,", "+86 138\\", "not written");
    addContact("A", "010转1");
    std::string path = dir.path("one.vcf");
    ASSERT_EQ(VCARD_WRITTEN, exportVCard(path.c_str(), firstContact));
    EXPECT_EQ("BEGIN:VCARD\r\nVERSION:2.1\r\n"
              "N;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:=E5=BC=A0=E4=B8=89=3D\\;\\\\\\,\r\n"
              "TEL;CELL:+86 138\\\\\r\nX-CLASS:private\r\nEND:VCARD",
              readFileBytes(path));
    ASSERT_EQ(VCARD_WRITTEN, exportVCard(path.c_str(), firstContact->next));
    EXPECT_NE(std::string::npos,
              readFileBytes(path).find("\r\nTEL;CELL;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:010=E8=BD=AC1\r\n"))
        << "a number that is not plain ASCII is marked as the name is";
    ASSERT_EQ(1, exportVCardList(path.c_str()));
    std::string all = readFileBytes(path);
    EXPECT_NE(std::string::npos, all.find("END:VCARD\r\nBEGIN:VCARD\r\n")) << "no blank line between";
    EXPECT_EQ("\r\nEND:VCARD", all.substr(all.size() - 11)) << "the file ends with the last card";
    EXPECT_EQ(VCARD_NO_CONTACT, exportVCard(path.c_str(), nullptr));
    EXPECT_EQ(VCARD_WRITE_FAILED, exportVCard(dir.path("none/x.vcf").c_str(), firstContact));
}

TEST_F(VCardTest, FolderExportNamesFilesSafelyAndNumbersRepeats)
{
    const char *names[] = {"张三", "张三", "a/b:c", "CON", "",      "dots..",   "张三",
                           "Zhang", "ZHANG", "张三 (3)", "zhang (2)", "CON.x", "李 (2)", "李", "李"};
    for (const char *name : names)
        addContact(name, "1");
    EXPECT_EQ(0, exportVCardFolder(dir.path("").c_str()));
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
        {"..", "_"}, {"a\\..\\b", "a_.._b"}, {"con", "_con"}, {"COM1", "_COM1"}, {"COM0", "COM0"},
        {"lpt9", "_lpt9"}, {"NUL ", "_NUL"}, {"a?*<>|\"", "a______"}, {"\t", "_"},
        {"CON.x", "_CON.x"}, {"nul.txt", "_nul.txt"}, {"COM1.abc", "_COM1.abc"},
        {"aux .x", "_aux .x"}, {"CONIN$", "_CONIN$"}, {"conout$.a", "_conout$.a"},
        {"CONX.a", "CONX.a"}, {"COM10", "COM10"},
        {"\xB0\x5C\xB0\x7C", "\xB0\x5C\xB0\x7C"}, // trail bytes 0x5C, 0x7C are characters
    };
    for (const FileNameCase &c : cases) {
        char file[32];
        vcardFileName(c.name, file, sizeof file);
        EXPECT_STREQ(c.file, file) << c.name;
    }
}
