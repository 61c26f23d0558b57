// Start-up and the main window as the user first sees them.
#include "tests/ui/ui_harness.h"

#include "shell/main_window.h"
#include "store/contact_list.h"

#include <string>

using MainWindowTest = ProgramTest;

TEST_F(MainWindowTest, CaptionShowsANewBookOrTheOpenFileEvenForTheLongestPath)
{
    EXPECT_EQ("Vostrelina v1.0 - 新文件", windowText(window));
    std::string path = "C:\\" + std::string(240, 'd') + "\\通讯录.ctb";
    ASSERT_EQ(254u, path.size());
    snprintf(currentPath, sizeof currentPath, "%s", path.c_str());
    updateTitle();
    EXPECT_EQ("Vostrelina v1.0 - \"" + path + "\"", windowText(window));
    currentPath[0] = '\0';
    updateTitle();
}

TEST_F(MainWindowTest, ClosingEndsTheMessageLoopWithoutAQuestion)
{
    Contact unsaved = {};
    appendContact(unsaved);
    EXPECT_EQ(0, closeProgram());
    EXPECT_FALSE(IsWindow(window));
}
