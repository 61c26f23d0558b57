// The contact dialog ends only through its own two buttons: Enter and Esc (IDOK, IDCANCEL)
// leave it open, and it has no close box. Texts longer than a field are cut to the field on
// a character boundary.
#include "shell/contact_dialog.h"

#include "common/text.h"
#include "resources/resource.h"
#include "shell/app.h"
#include "shell/main_window.h"

int contactDialogMode;
Contact dialogContact;

enum { EDIT_TEXT_SIZE = 50 };

static void onInitContactDialog(HWND dialog)
{
    if (contactDialogMode == CONTACT_DIALOG_ADD) {
        SetWindowTextA(dialog, "添加");
    } else if (contactDialogMode == CONTACT_DIALOG_EDIT) {
        SetWindowTextA(dialog, "编辑");
        SetDlgItemTextA(dialog, IDC_CONTACT_NAME, dialogContact.name);
        SetDlgItemTextA(dialog, IDC_CONTACT_REMARK, dialogContact.remark);
        SetDlgItemTextA(dialog, IDC_CONTACT_NUMBER, dialogContact.number);
    }
}

static void readField(HWND dialog, int id, char *field, size_t size)
{
    char text[EDIT_TEXT_SIZE] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    copyText(field, size, text);
}

static void onContactDialogOk(HWND dialog)
{
    readField(dialog, IDC_CONTACT_NAME, dialogContact.name, sizeof dialogContact.name);
    readField(dialog, IDC_CONTACT_NUMBER, dialogContact.number, sizeof dialogContact.number);
    readField(dialog, IDC_CONTACT_REMARK, dialogContact.remark, sizeof dialogContact.remark);
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

int showContactDialog()
{
    return (int)DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_CONTACT), mainWindow,
                                contactDialogProc, 0);
}
