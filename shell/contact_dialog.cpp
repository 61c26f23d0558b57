// The contact dialog ends only through its own two buttons: Enter and Esc (IDOK, IDCANCEL)
// leave it open, and it has no close box. Nothing the user typed is cut: the boxes stop typing
// at their fields' sizes, and a longer text that got in all the same (pasted, or set by a
// program) keeps the dialog open at OK, with a word on which field is too long.
#include "shell/contact_dialog.h"

#include "common/text.h"
#include "resources/resource.h"
#include "shell/app.h"

#include <cstring>

int contactDialogMode;
Contact dialogContact;

enum { EDIT_TEXT_SIZE = 50, DIALOG_CAPTION_SIZE = 16 };

struct ContactBox {
    int id;
    size_t fieldSize; // the record's field, terminator included
    const char *tooLong;
};

static const ContactBox contactBoxes[] = {
    {IDC_CONTACT_NAME, NAME_SIZE, "姓名太长：最多11个字节。"},
    {IDC_CONTACT_NUMBER, NUMBER_SIZE, "号码太长：最多19个字节。"},
    {IDC_CONTACT_REMARK, REMARK_SIZE, "备注太长：最多39个字节。"},
};

// An edit of ANSI text counts its limit in bytes on Windows. Wine's counts characters, so
// there double-byte text can go past it while typing, and only OK holds it to the field.
static void onInitContactDialog(HWND dialog)
{
    for (const ContactBox &box : contactBoxes)
        SendDlgItemMessageA(dialog, box.id, EM_LIMITTEXT, box.fieldSize - 1, 0);
    if (contactDialogMode == CONTACT_DIALOG_ADD) {
        SetWindowTextA(dialog, "添加");
    } else if (contactDialogMode == CONTACT_DIALOG_EDIT) {
        SetWindowTextA(dialog, "编辑");
        SetDlgItemTextA(dialog, IDC_CONTACT_NAME, dialogContact.name);
        SetDlgItemTextA(dialog, IDC_CONTACT_REMARK, dialogContact.remark);
        SetDlgItemTextA(dialog, IDC_CONTACT_NUMBER, dialogContact.number);
    }
}

// Reads a box into text; false, after telling the user and putting the caret there, when it
// holds more than its field keeps.
static bool readBox(HWND dialog, const ContactBox &box, char text[EDIT_TEXT_SIZE])
{
    GetDlgItemTextA(dialog, box.id, text, EDIT_TEXT_SIZE);
    if (strlen(text) < box.fieldSize)
        return true;
    char caption[DIALOG_CAPTION_SIZE] = "";
    GetWindowTextA(dialog, caption, sizeof caption);
    MessageBoxA(dialog, box.tooLong, caption, MB_OK | MB_ICONWARNING);
    SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, box.id), TRUE);
    return false;
}

static void onContactDialogOk(HWND dialog)
{
    char texts[countOf(contactBoxes)][EDIT_TEXT_SIZE];
    for (size_t i = 0; i < countOf(contactBoxes); i++)
        if (!readBox(dialog, contactBoxes[i], texts[i]))
            return;
    copyText(dialogContact.name, sizeof dialogContact.name, texts[0]);
    copyText(dialogContact.number, sizeof dialogContact.number, texts[1]);
    copyText(dialogContact.remark, sizeof dialogContact.remark, texts[2]);
    EndDialog(dialog, 1);
}

static INT_PTR CALLBACK contactDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        onInitContactDialog(dialog);
    else if (message == WM_COMMAND && wParam == IDC_CONTACT_OK)
        onContactDialogOk(dialog);
    else if (message == WM_COMMAND && wParam == IDC_CONTACT_CANCEL)
        EndDialog(dialog, 0);
    return FALSE;
}

bool showContactDialog()
{
    return DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_CONTACT), mainWindow, contactDialogProc, 0) == 1;
}
