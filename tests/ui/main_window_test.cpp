// Start-up and the main window as the user first sees them.
#include "tests/ui/ui_harness.h"

#include "shell/main_window.h"
#include "store/contact_list.h"

#include <string>

using MainWindowTest = ProgramTest;

TEST_F(MainWindowTest, StartsAsANewBookWithTheFixedWindow)
{
    EXPECT_EQ(window, mainWindow);
    EXPECT_EQ("Vostrelina v1.0 - 新文件", windowText(window));
    char className[32];
    GetClassNameA(window, className, sizeof className);
    EXPECT_STREQ("card", className);
    RECT frame;
    GetWindowRect(window, &frame);
    EXPECT_EQ(508, frame.right - frame.left);
    EXPECT_EQ(384, frame.bottom - frame.top);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - 500) / 2, frame.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - 350) / 2, frame.top);
    EXPECT_TRUE(IsWindowVisible(window));
    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME) << "the window cannot be resized";
    EXPECT_FALSE(style & WS_MAXIMIZEBOX) << "the window cannot be maximised";
    EXPECT_EQ(0, contactCount);
}

TEST_F(MainWindowTest, MenuBarHasTheFourMenusAndSettingsIsGrayed)
{
    HMENU menu = GetMenu(window);
    ASSERT_NE(nullptr, menu);
    const char *titles[] = {"文件", "项目", "功能", "帮助"};
    ASSERT_EQ(4, GetMenuItemCount(menu));
    for (int i = 0; i < 4; i++) {
        char text[32];
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(titles[i], text);
    }
    EXPECT_TRUE(GetMenuState(menu, 40004, MF_BYCOMMAND) & MF_GRAYED);
    char text[32];
    GetMenuStringA(menu, 40027, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ("批量生成vcf", text);
}

TEST_F(MainWindowTest, CaptionShowsTheOpenFileEvenForTheLongestPath)
{
    std::string path = "C:\\" + std::string(240, 'd') + "\\通讯录.ctb";
    ASSERT_EQ(254u, path.size());
    snprintf(currentPath, sizeof currentPath, "%s", path.c_str());
    updateTitle();
    EXPECT_EQ("Vostrelina v1.0 - \"" + path + "\"", windowText(window));
    currentPath[0] = '\0';
    updateTitle();
    EXPECT_EQ("Vostrelina v1.0 - 新文件", windowText(window));
}

TEST_F(MainWindowTest, ClosingEndsTheMessageLoopWithoutAQuestion)
{
    Contact unsaved = {};
    appendContact(unsaved);
    EXPECT_EQ(0, closeProgram());
    EXPECT_FALSE(IsWindow(window));
}
