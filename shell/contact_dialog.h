// The add/edit dialog for one contact. The caller sets contactDialogMode (and, to edit,
// dialogContact's texts) and reads dialogContact after a result of 1.
#pragma once

#include "store/contact_list.h"

enum { CONTACT_DIALOG_ADD = 1, CONTACT_DIALOG_EDIT = 2 };

extern int contactDialogMode;
extern Contact dialogContact; // only its three texts are used; its flags and link stay 0

// Shows the dialog; true when the user pressed OK (texts in dialogContact), false on Cancel.
bool showContactDialog();
