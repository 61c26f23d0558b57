// The help dialog with its seven topics, the about box and the feedback mail.
#include "shell/help_dialogs.h"

#include "bookfile/book_file.h"
#include "common/text.h"
#include "resources/resource.h"
#include "shell/app.h"
#include "shell/system_libraries.h"

#include <shellapi.h>

const char feedbackAddress[] = "vst@example.com";
static const char buildLabel[] = "0130(测试版1)";
ShellOpener openWithShell = shellExecute;

enum { VERSION_TEXT_SIZE = 64, FEEDBACK_TEXT_SIZE = 96 };

// The topics, in the order the list shows them.
static const struct {
    const char *title;
    const char *text;
} helpTopics[] = {
    {"软件简介",
     "Vostrelina是运行在Windows上的通讯录管理软件，具有如下的功能和特点：\r\n"
     "1.无需安装，体积小速度快，能运行在Windows 2000及以后的系统上，可以放在优盘中随身携带。\r\n"
     "2.通讯录保存在自己的.ctb文件中；TXT、vCard(vcf)和CSV文件都能导入和生成，Excel工作簿(.xlsx)可以直接导入，"
     "可以和手机、邮件程序、电子表格交换联系人。\r\n"
     "3.快速搜索联系人的姓名、号码和备注，也可以输入姓名的拼音：全拼、首字母或两者混合，"
     "如zs、zhangsan、zhangs都能找到张三。\r\n"
     "4.项目菜单可以按姓名的拼音排序，也可以删除姓名和号码都相同的重复联系人。\r\n"
     "5.完全免费，功能简单，占用系统资源少。"},
    {"快捷工具栏",
     "快捷工具栏位于程序主界面的菜单和通讯录表格之间，可以方便用户的操作，按照从左到右的顺序将功能依次简要介绍如下：\r\n"
     "1.新建。新建一个通讯录文件\r\n"
     "2.打开、保存。打开、保存通讯录文件\r\n"
     "3.快速搜索栏。输入联系人姓名、号码或备注的一部分，或者姓名的拼音，列表只显示符合条件的联系人，英文字母不分大小写\r\n"
     "4.添加、编辑、删除。管理联系人项目\r\n"
     "5.上移、下移。移动联系人在通讯录中的位置（在搜索状态下不可用）\r\n"
     "6.删除选中。批量删除用户打勾的联系人\r\n"
     "快捷键：Ctrl+N新建，Ctrl+O打开，Ctrl+S保存，Ctrl+F到搜索栏；在列表中空格打勾，回车编辑，Delete删除；"
     "Tab在搜索栏和列表之间切换，Esc清空搜索栏。把通讯录或vcf、TXT、CSV、Excel文件拖到窗口上可以打开或导入。"},
    {"TXT文件",
     "TXT文件每行一个联系人：第一项是姓名，第二项是号码，其余部分都是备注。"
     "项与项之间用分隔符隔开：空格、制表符、逗号、分号等都可以，中文输入法的全角逗号、分号、顿号、冒号和全角空格也可以；"
     "分隔符两边的空格和连续的空格算一个分隔符，两个逗号之间什么也没有表示该项为空。号码中的+ - ( ) . # *不算分隔符。"
     "文件可以是ANSI(GBK)、UTF-8或UTF-16编码，每行以CR LF、LF或CR结束；"
     "本程序生成的TXT文件的表头行在导入时会被跳过。\r\n"
     "注意：TXT文件没有引号，姓名或号码中含有空格、逗号等分隔符的联系人不能原样导回，"
     "这样的联系人请用CSV或vcf文件交换。"},
    {"vcf文件",
     "支持vCard 2.1、3.0和4.0，一个文件中可以有多张名片（手机导出的就是这样），"
     "也可以批量导入一个文件夹中的所有vcf文件。文件可以是UTF-8、UTF-16或GBK编码，"
     "也能读取声明了BIG5、Shift_JIS等其他字符集的名片，以及quoted-printable和base64编码的内容。"
     "程序读取姓名、号码和备注(NOTE)，没有姓名的名片用单位名称(ORG)；有多个号码时优先读取手机号码和首选号码，"
     "传真、寻呼机号码排在最后。名片中嵌套的名片各算一个联系人。\r\n"
     "生成时可以把所有联系人写入一个文件（供手机导入），也可以每个联系人生成一个文件；备注写入NOTE。"},
    {"CSV文件",
     "支持Google通讯录、Outlook、Thunderbird和Excel导出的CSV文件，分隔符可以是逗号、分号或制表符，"
     "字段可以用引号括起来，其中可以有逗号、引号和换行。导入时请选择哪一列对应姓名、号码和备注，"
     "程序会根据表头预先选好认得出的列（如“姓名”“手机”“备注”或Name、Mobile Phone、Notes），"
     "不想要备注可以选择“（无）”。最大支持128列。\r\n"
     "生成的CSV文件第一行是“姓名,号码,备注”，每个联系人一行。"},
    {"Excel文件",
     "“文件”菜单的“导入”中选择“导入Excel文件”，可以直接导入Excel 2007及以后版本的工作簿(.xlsx)，"
     "如WPS表格、LibreOffice保存的.xlsx文件。程序读取工作簿中的第一个工作表：第一个有内容的行是表头，"
     "以下每行一个联系人，和CSV文件一样选择哪一列对应姓名、号码和备注。"
     "单元格按表格中显示的内容读取，以数字保存的电话号码读出来就是这串数字。\r\n"
     "有密码保护的工作簿请先在Excel中去掉密码；旧版的.xls文件请先另存为.xlsx或CSV文件。"},
    {"反馈与建议",
     "反馈与建议：\r\n"
     "本软件完全免费，无需安装，不会有系统垃圾文件残留，请支持作者，无论您在使用中有什么意见或建议"
     "或者感觉本软件对您有用请发邮件给作者，谢谢！\r\n"
     "联系方式：\r\n"
     "电邮：vst@example.com\r\n"
     "QQ：20130130"},
};

static void showHelpTopic(HWND dialog, int topic)
{
    if (topic >= 0 && topic < (int)countOf(helpTopics))
        SetDlgItemTextA(dialog, IDC_HELP_TEXT, helpTopics[topic].text);
}

static void onInitHelp(HWND dialog)
{
    for (const auto &topic : helpTopics)
        SendDlgItemMessageA(dialog, IDC_HELP_TOPICS, LB_ADDSTRING, 0, (LPARAM)topic.title);
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
