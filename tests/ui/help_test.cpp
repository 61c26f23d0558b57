// Help, about and feedback as the user meets them.
#include "tests/ui/ui_harness.h"

#include "resources/resource.h"
#include "shell/help_dialogs.h"

using HelpTest = ProgramTest;

static std::string itemText(HWND dialog, int id)
{
    return windowText(GetDlgItem(dialog, id));
}

TEST_F(HelpTest, HelpOpensOnTheFirstTopicAndFollowsTheSelection)
{
    respond([](HWND dialog) {
        EXPECT_EQ("使用说明", windowText(dialog));
        HWND topics = GetDlgItem(dialog, IDC_HELP_TOPICS);
        EXPECT_EQ(6, (int)SendMessageA(topics, LB_GETCOUNT, 0, 0));
        EXPECT_EQ(0, (int)SendMessageA(topics, LB_GETCURSEL, 0, 0));
        EXPECT_EQ(0u, itemText(dialog, IDC_HELP_TEXT).find("Vostrelina是运行在Windows上"));
        SendMessageA(topics, LB_SETCURSEL, 4, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_HELP_TOPICS, LBN_SELCHANGE), (LPARAM)topics);
        EXPECT_NE(std::string::npos, itemText(dialog, IDC_HELP_TEXT).find("最大支持128列"));
        SendMessageA(topics, LB_SETCURSEL, 5, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_HELP_TOPICS, LBN_SELCHANGE), (LPARAM)topics);
        EXPECT_NE(std::string::npos,
                  itemText(dialog, IDC_HELP_TEXT).find(std::string("电邮：") + feedbackAddress));
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(IsWindowVisible(dialog)) << "Escape does nothing";
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    runCommand(IDM_HELP);
}

TEST_F(HelpTest, AboutShowsTheVersionLine)
{
    respond([](HWND dialog) {
        EXPECT_EQ("关于Vostrelina", windowText(dialog));
        EXPECT_EQ("程序版本：1.0130(测试版1)", itemText(dialog, IDC_ABOUT_VERSION));
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(IsWindowVisible(dialog)) << "Escape does nothing";
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    runCommand(IDM_ABOUT);
}

// What Explorer shows in the file's properties (the tests carry the program's resources).
TEST(VersionInformation, NamesTheProgramAndItsVersion)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    DWORD unused = 0;
    std::string info(GetFileVersionInfoSizeA(path, &unused), '\0');
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, (DWORD)info.size(), &info[0]));
    for (const char *field : {"FileVersion|1.0.130.0", "ProductName|Vostrelina",
                              "FileDescription|Vostrelina 便携通讯录"}) {
        std::string name = std::string(field).substr(0, strchr(field, '|') - field);
        char *value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(&info[0], ("\\StringFileInfo\\080404B0\\" + name).c_str(),
                                   (void **)&value, &length)) << name;
        EXPECT_STREQ(strchr(field, '|') + 1, value);
    }
}

static INT_PTR shellAnswer;
static std::string shellFile;
static int shellCalls;

static HINSTANCE WINAPI fakeShell(HWND, LPCSTR operation, LPCSTR file, LPCSTR, LPCSTR, INT show)
{
    shellCalls++;
    shellFile = std::string(operation) + " " + file + " " + std::to_string(show);
    return (HINSTANCE)shellAnswer;
}

class FeedbackTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        openWithShell = fakeShell;
        shellCalls = 0;
    }
    void TearDown() override
    {
        openWithShell = ShellExecuteA;
        ProgramTest::TearDown();
    }
};

// Answered No, nothing is opened; answered Yes, the mail program is, or the shell's failure
// is explained.
TEST_F(FeedbackTest, ShellFailuresAreExplained)
{
    struct {
        INT_PTR result;
        const char *message; // null: success, nothing shown
    } cases[] = {
        {42, nullptr},
        {0, "内存不足"},
        {31, "请关联系统默认邮件程序后再试"},
        {32, "未知错误（错误代码：32）"},
        {2, "未知错误（错误代码：2）"},
    };
    respond(answer(IDNO, feedbackAddress, "是否向作者发送电子邮件？"));
    runCommand(IDM_FEEDBACK);
    EXPECT_EQ(0, shellCalls);
    for (const auto &c : cases) {
        shellAnswer = c.result;
        respond(answer(IDYES, feedbackAddress, "是否向作者发送电子邮件？"));
        if (c.message != nullptr)
            respond(answer(IDOK, "反馈不能进行", c.message));
        runCommand(IDM_FEEDBACK);
        EXPECT_EQ(std::string("open mailto:") + feedbackAddress + " " + std::to_string(SW_SHOWNORMAL),
                  shellFile);
    }
}
