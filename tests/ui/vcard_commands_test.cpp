// A vCard folder as large as a phone's backup (the commands at ordinary sizes are the model
// run's). Wine looks up every new file name by reading the whole folder, which makes this test
// take about a minute; where 32-bit Wine runs under emulation it would take many, and there it
// runs in the 64-bit build only (scripts/wine-env).
#include "tests/ui/ui_harness.h"

#include "resources/resource.h"
#include "store/contact_list.h"
#include "tests/support/temp_dir.h"

using LargeFolderTest = ProgramTest;

// A phone's backup: one small file per contact, ten thousand of them, out and back in.
TEST_F(LargeFolderTest, TenThousandCardsGoOutAndComeBackWhole)
{
    TempDir dir;
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
