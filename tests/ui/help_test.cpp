// Help, about and feedback as the user meets them.
#include "tests/ui/ui_harness.h"

#include "resources/resource.h"
#include "shell/help_dialogs.h"
#include "shell/system_libraries.h"

using HelpTest = ProgramTest;

// A dialog that Escape must not close: Cancel leaves it open, OK closes it.
static void closeByOkOnly(HWND dialog)
{
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "Escape does nothing";
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
}

// Help opens on the first topic and shows the one selected (the last names the address);
// neither help nor about closes on Escape.
TEST_F(HelpTest, HelpFollowsTheSelectedTopic)
{
    respond([](HWND dialog) {
        HWND topics = GetDlgItem(dialog, IDC_HELP_TOPICS);
        EXPECT_EQ(0, (int)SendMessageA(topics, LB_GETCURSEL, 0, 0));
        EXPECT_NE("", windowText(GetDlgItem(dialog, IDC_HELP_TEXT))) << "the first topic shows";
        SendMessageA(topics, LB_SETCURSEL, SendMessageA(topics, LB_GETCOUNT, 0, 0) - 1, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_HELP_TOPICS, LBN_SELCHANGE), (LPARAM)topics);
        EXPECT_NE(std::string::npos, windowText(GetDlgItem(dialog, IDC_HELP_TEXT))
                                         .find(std::string("电邮：") + feedbackAddress));
        closeByOkOnly(dialog);
    });
    runCommand(IDM_HELP);
    respond(closeByOkOnly);
    runCommand(IDM_ABOUT);
}

static INT_PTR shellAnswer;
static std::string shellFile; // what the shell was asked to open, if anything

static HINSTANCE WINAPI fakeShell(HWND, LPCSTR operation, LPCSTR file, LPCSTR, LPCSTR, INT show)
{
    shellFile = std::string(operation) + " " + file + " " + std::to_string(show);
    return (HINSTANCE)shellAnswer;
}

// Answered No, nothing is opened; answered Yes, the mail program is, and the shell's failure
// is explained.
TEST_F(HelpTest, FeedbackOpensTheMailProgram)
{
    openWithShell = fakeShell;
    shellFile = "";
    respond(answer(IDNO, feedbackAddress, "是否向作者发送电子邮件？"));
    runCommand(IDM_FEEDBACK);
    EXPECT_EQ("", shellFile);
    for (INT_PTR result : {42, SE_ERR_NOASSOC}) {
        shellAnswer = result;
        respond(answer(IDYES, feedbackAddress, "是否向作者发送电子邮件？"));
        if (result == SE_ERR_NOASSOC)
            respond(answer(IDOK, "反馈不能进行", "请关联系统默认邮件程序后再试"));
        runCommand(IDM_FEEDBACK);
        EXPECT_EQ(std::string("open mailto:") + feedbackAddress + " " + std::to_string(SW_SHOWNORMAL), shellFile);
    }
    openWithShell = shellExecute;
}
