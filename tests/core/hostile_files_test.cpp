// Paths and files a user's disk can hold against the program: very long paths, missing
// folders and folders that refuse writes, files marked read-only, very large files. Every
// read and write either works or is refused cleanly: nothing crashes, nothing that was on
// disk is lost, nothing is left behind.
#include "interchange/vcard_format.h"
#include "store/contact_list.h"
#include "tests/support/contacts.h"
#include "tests/support/file_formats.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>


#include <cstring>
#include <string>

#ifdef _WIN32
static const char separator[] = "\\";
static const char refusingFolder[] = "Z:\\proc"; // the system's own view, under Wine
#else
static const char separator[] = "/";
static const char refusingFolder[] = "/proc";
#endif

class HostileFilesTest : public ::testing::Test {
protected:
    void SetUp() override { fillList(); }
    void TearDown() override { clearContacts(); }
    static void fillList()
    {
        clearContacts();
        addContact("张三", "13800000000", "同事");
        addContact("Li", "555", "");
    }
    TempDir dir;
};

// A path of exactly length bytes: the folder, then a name of 'a's with the format's extension.
static std::string pathOfLength(const std::string &folder, const FileFormat *format, size_t length)
{
    std::string prefix = folder + separator;
    return prefix + std::string(length - prefix.size() - strlen(format->extension), 'a') + format->extension;
}

// At the longest path the program keeps every format is written and read back; longer
// paths, a missing folder, a file in place of a folder and a folder that refuses writes are
// refused, and leave the list as it was and nothing behind.
TEST_F(HostileFilesTest, PathsAreWrittenOrRefusedCleanly)
{
    writeFileBytes(dir.path("file.txt"), "not a folder");
    for (const FileFormat *format : writtenFormats()) {
        std::string file = fileNamed("contacts", format);
        const std::string paths[] = {
            pathOfLength(dir.path(""), format, 255), pathOfLength(dir.path(""), format, 300),
            pathOfLength(dir.path(""), format, 1000), pathOfLength(dir.path(""), format, 5000),
            dir.path("missing") + separator + file, dir.path("file.txt") + separator + file,
            refusingFolder + (separator + file)};
        for (const std::string &path : paths) {
            bool fits = &path == &paths[0];
            std::string what = std::string(format->name) + ", " + path.substr(0, 60);
            fillList();
            EXPECT_EQ(fits, writeAll(format, path.c_str())) << what;
            if (fits)
                clearContacts();
            EXPECT_EQ(fits ? 2 : READ_CANNOT_OPEN, readBack(format, path.c_str())) << what;
            EXPECT_TRUE(fits || contactCount == 2) << what << ": the list stays";
            EXPECT_STREQ("张三", firstContact != nullptr ? firstContact->name : "") << what;
            remove(path.c_str());
            EXPECT_EQ("file.txt", dir.listing()) << what << ": nothing left behind";
        }
    }
    EXPECT_EQ("not a folder", readFileBytes(dir.path("file.txt")));
}

// A phone's export with photos: about 50 MB, nearly all of it picture data, and one card
// whose remark-like field is a single line of megabytes. (Long lines of every reader are in
// the sample files.)
TEST_F(HostileFilesTest, VeryLargeVCardFileIsReadWhole)
{
    std::string photo = "PHOTO;ENCODING=BASE64;TYPE=JPEG:\r\n";
    for (int i = 0; i < 660; i++)
        photo += " " + std::string(75, 'Q') + "\r\n";
    std::string text;
    for (int i = 0; i < 1000; i++)
        text += "BEGIN:VCARD\r\nVERSION:2.1\r\nN:;P" + std::to_string(i) + ";;;\r\nTEL;CELL:138\r\n" +
                photo + "\r\nEND:VCARD\r\n";
    text += "BEGIN:VCARD\r\nVERSION:3.0\r\nN:;Last;;;\r\nNOTE:" + std::string(4 << 20, 'n') +
            "\r\nEND:VCARD\r\n";
    writeFileBytes(dir.path("big.vcf"), text);
    clearContacts();
    EXPECT_EQ(1001, importVCard(dir.path("big.vcf").c_str()));
    EXPECT_EQ(1001, contactCount);
    EXPECT_STREQ("P0", firstContact->name);
}
