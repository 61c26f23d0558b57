// The vCard commands as a user runs them: choosers answered, files really read and written.
#include "tests/ui/ui_harness.h"

#include "interchange/vcard_format.h"
#include "resources/resource.h"
#include "shell/contact_view.h"
#include "store/contact_list.h"
#include "tests/support/temp_dir.h"

using Rows = std::vector<std::string>;

static const char card[] = "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:"
                           "=E5=BC=A0;=E4=B8=89;;;\r\nTEL;CELL:138\r\nEND:VCARD\r\n";

class VCardCommandsTest : public ProgramTest {
protected:
    TempDir dir;
};

TEST_F(VCardCommandsTest, FolderImportReadsEveryCardFileOrSaysWhyNone)
{
    addContact("Old");
    refreshContactView(SHOW_ALL);
    typeSearch("Old");
    writeFileBytes(dir.path("a.vcf"), card);
    writeFileBytes(dir.path("b.vcf"), "BEGIN:VCARD\nN:;Li;;;\nTEL:1\nEND:VCARD\n"
                                      "BEGIN:VCARD\nN:;Wu;;;\nEND:VCARD\n");
    writeFileBytes(dir.path("notes.txt"), card);
    respond([this](HWND dialog) {
        EXPECT_EQ("选择vcf文件所在目录", windowText(dialog));
        typeFolder(dir.path(""))(dialog);
    });
    runCommand(IDM_IMPORT_VCF_FOLDER);
    EXPECT_EQ(4u, listRows().size()) << "every contact is shown after an import";
    respond(cancel());
    runCommand(IDM_IMPORT_VCF_FOLDER);
    CreateDirectoryA(dir.path("empty").c_str(), nullptr);
    for (const char *folder : {"missing", "notes.txt", "empty"}) {
        respond(typeFolder(dir.path(folder)));
        respond(answer(IDOK, "批量导入vcf", folder[0] == 'e' ? "文件夹中没有vcf文件！" : "路径不存在！"));
        runCommand(IDM_IMPORT_VCF_FOLDER);
    }
    EXPECT_EQ(4, contactCount);
}

// Neither export starts without contacts; a file that cannot be written is counted.
TEST_F(VCardCommandsTest, FolderExportWritesOneFilePerContact)
{
    respond(answer(IDOK, "生成vcf文件", "没有通讯录成员！"));
    runCommand(IDM_EXPORT_VCF_FOLDER);
    respond(answer(IDOK, "生成vcf文件", "没有通讯录成员！"));
    runCommand(IDM_EXPORT_VCF);
    addContact("张三", "1");
    addContact("张三", "2");
    addContact("a:b", "3");
    respond([this](HWND dialog) {
        EXPECT_EQ("选择生成vcf文件所在目录", windowText(dialog));
        typeFolder(dir.path(""))(dialog);
    });
    respond(answer(IDOK, "生成vcf", "生成vcf文件执行完毕！"));
    runCommand(IDM_EXPORT_VCF_FOLDER);
    EXPECT_EQ("a_b.vcf 张三 (2).vcf 张三.vcf", dir.listing());
    respond(typeFolder(dir.path("missing")));
    respond(answer(IDOK, "生成vcf", "生成vcf文件执行完毕，但有3个联系人的文件无法生成！"));
    runCommand(IDM_EXPORT_VCF_FOLDER);
}

// Wine looks up every new file name by reading the whole folder, which makes this test
// take about a minute; under emulation it would take many, so it runs in the 64-bit build.
using LargeFolderTest = VCardCommandsTest;

// A phone's backup: one small file per contact, ten thousand of them, out and back in.
TEST_F(LargeFolderTest, TenThousandCardsGoOutAndComeBackWhole)
{
    const int count = 10000;
    for (int i = 0; i < count; i++)
        addContact(i % 2 ? "张三" : ("Li" + std::to_string(i % 100)).c_str(), "138");
    respond(typeFolder(dir.path("")));
    respond(answer(IDOK, "生成vcf", "生成vcf文件执行完毕！"));
    runCommand(IDM_EXPORT_VCF_FOLDER);

    clearContacts();
    respond(typeFolder(dir.path("")));
    runCommand(IDM_IMPORT_VCF_FOLDER);
    EXPECT_EQ(count, contactCount);
    EXPECT_EQ(size_t(count), listRows().size());
}
