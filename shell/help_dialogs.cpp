// The help dialog with its six topics, the about box and the feedback mail.
#include "shell/help_dialogs.h"

#include "bookfile/book_file.h"
#include "common/text.h"
#include "resources/resource.h"
#include "shell/app.h"
#include "shell/main_window.h"

#include <shellapi.h>

const char feedbackAddress[] = "vst@example.com";
static const char buildLabel[] = "0130(测试版1)";
ShellOpener openWithShell = ShellExecuteA;

enum { HELP_TOPICS = 6, VERSION_TEXT_SIZE = 64, FEEDBACK_TEXT_SIZE = 96 };

static const char helpTopicTitles[HELP_TOPICS][30] = {
    "软件简介", "快捷工具栏", "TXT文件", "vcf文件", "CSV文件", "反馈与建议",
};

static const char helpTopicTexts[HELP_TOPICS][1024] = {
    "Vostrelina是运行在windows系统上的通讯录管理软件，具有如下的功能和特点：\r\n"
    "1.无需安装，体积小速度快，能运行在windows2000以上的平台，可以放在优盘中的管理软件。\r\n"
    "2.支持手机vcf格式、CSV格式，支持批量导入导出联系人信息\r\n"
    "3.完全免费，功能简单，占用系统资源少，保证无木马无病毒\r\n"
    "4.支持模糊搜索联系人的姓名、电话",
    "快捷工具栏位于程序主界面的菜单和通讯录表格之间，可以方便用户的操作，按照从左到右的顺序将功能一次简要介绍如下：\r\n"
    "1.新建。新建一个通讯录文件\r\n"
    "2.打开、保存。打开、保存通讯录文件\r\n"
    "3.快速搜索栏。用户在这里输入想要查找的联系人的姓名或者号码的一部分，系统自动检索符合条件的项目\r\n"
    "4.添加、编辑、删除。管理联系人项目\r\n"
    "5.上移、下移。移动联系人在通讯录中的位置（在搜索状态下不可用）\r\n"
    "6.删除选中。批量删除用户打勾的联系人",
    "用户为了节省添加联系人的时间，可以编写规定格式的TXT文件，然后在程序中批量导入联系人。"
    "程序的导入规则是以逗号为分割标志，第一项为联系人的姓名，第二项为号码，第三项不再判断分割标志，"
    "全部视为备注的内容，每个联系人占一行。",
    "支持导入手机VCF文件，nokia手机亲测通过。注意：VCF文件的版本必须是2.1，目前由于时间所限，"
    "只编写了读取全名和手机号码的代码，全名如果为中文必须是UTF-8编码，否则读取的将是乱码。",
    "支持CSV文件，当文件中有多个列时会请用户选择哪一列对应姓名、号码和备注，如果不想要备注可以选择“无”。"
    "最大支持128列，每列50字节。",
    "反馈与建议：\r\n"
    "本软件完全免费，无需安装，不会有系统垃圾文件残留，请支持作者，无论您在使用中有什么意见或建议"
    "或者感觉本软件对您有用请发邮件给作者，谢谢！\r\n"
    "联系方式：\r\n"
    "电邮：vst@example.com\r\n"
    "QQ：20130130",
};

static void showHelpTopic(HWND dialog, int topic)
{
    if (topic >= 0 && topic < HELP_TOPICS)
        SetDlgItemTextA(dialog, IDC_HELP_TEXT, helpTopicTexts[topic]);
}

static void onInitHelp(HWND dialog)
{
    for (const char *title : helpTopicTitles)
        SendDlgItemMessageA(dialog, IDC_HELP_TOPICS, LB_ADDSTRING, 0, (LPARAM)title);
    SendDlgItemMessageA(dialog, IDC_HELP_TOPICS, LB_SETCURSEL, 0, 0);
    showHelpTopic(dialog, 0);
}

// Only the close button (IDOK, also Enter) ends the dialog; Esc does nothing.
static INT_PTR CALLBACK helpDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        onInitHelp(dialog);
    else if (message == WM_COMMAND && wParam == IDOK)
        EndDialog(dialog, 1);
    else if (message == WM_COMMAND && wParam == MAKEWPARAM(IDC_HELP_TOPICS, LBN_SELCHANGE))
        showHelpTopic(dialog,
                      (int)SendDlgItemMessageA(dialog, IDC_HELP_TOPICS, LB_GETCURSEL, 0, 0));
    return FALSE;
}

static void onInitAbout(HWND dialog)
{
    char version[VERSION_TEXT_SIZE];
    formatText(version, sizeof version, "程序版本：%d.%s", (int)programVersion, buildLabel);
    SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, version);
}

static INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        onInitAbout(dialog);
    else if (message == WM_COMMAND && wParam == IDOK)
        EndDialog(dialog, 1);
    return FALSE;
}

void showHelpCommand()
{
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_HELP), mainWindow, helpDialogProc, 0);
}

void showAboutCommand()
{
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_ABOUT), mainWindow, aboutDialogProc, 0);
}

void sendFeedbackCommand()
{
    if (MessageBoxA(mainWindow, "是否向作者发送电子邮件？", feedbackAddress,
                    MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    char link[FEEDBACK_TEXT_SIZE];
    formatText(link, sizeof link, "mailto:%s", feedbackAddress);
    INT_PTR result = (INT_PTR)openWithShell(mainWindow, "open", link, nullptr, nullptr, SW_SHOWNORMAL);
    if (result > 32)
        return;
    char message[FEEDBACK_TEXT_SIZE];
    if (result == 0)
        copyText(message, sizeof message, "内存不足");
    else if (result == SE_ERR_NOASSOC)
        copyText(message, sizeof message, "请关联系统默认邮件程序后再试");
    else
        formatText(message, sizeof message, "未知错误（错误代码：%d）", (int)result);
    MessageBoxA(mainWindow, message, "反馈不能进行", MB_OK | MB_ICONERROR);
}
