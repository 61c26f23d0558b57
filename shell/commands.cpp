// Command dispatch. The whole wParam is compared with each command identifier, so only menu
// items and toolbar buttons (notification code 0), and the keys of the accelerator table
// (code 1) for the commands that have one, run a command; the search box's change
// notification refreshes the rows.
#include "shell/commands.h"

#include "resources/resource.h"
#include "shell/contact_view.h"
#include "shell/csv_commands.h"
#include "shell/file_commands.h"
#include "shell/help_dialogs.h"
#include "shell/item_commands.h"
#include "shell/text_commands.h"
#include "shell/tidy_commands.h"
#include "shell/toolbar.h"
#include "shell/vcard_commands.h"

enum { FROM_ACCELERATOR = 1 };

static void focusSearchBox()
{
    SetFocus(searchBox);
    SendMessageA(searchBox, EM_SETSEL, 0, -1);
}

// In menu order.
static const struct {
    WPARAM menuId;
    WPARAM toolbarId; // 0 where the toolbar has no button for it
    bool keyed;       // the accelerator table has a key for it
    void (*run)();
} commands[] = {
    {IDM_FILE_NEW, IDT_FILE_NEW, true, newBook},
    {IDM_FILE_OPEN, IDT_FILE_OPEN, true, openBook},
    {IDM_FILE_SAVE, IDT_FILE_SAVE, true, saveCurrentBook},
    {IDM_FILE_SAVE_AS, 0, false, saveBookAs},
    {IDM_IMPORT_TXT, 0, false, importTextCommand},
    {IDM_IMPORT_VCF, 0, false, importVCardFileCommand},
    {IDM_IMPORT_CSV, 0, false, importCsvCommand},
    {IDM_IMPORT_XLSX, 0, false, importXlsxCommand},
    {IDM_IMPORT_VCF_FOLDER, 0, false, importVCardFolderCommand},
    {IDM_EXPORT_TXT, 0, false, exportTextCommand},
    {IDM_EXPORT_VCF, 0, false, exportVCardFileCommand},
    {IDM_EXPORT_CSV, 0, false, exportCsvCommand},
    {IDM_EXPORT_VCF_FOLDER, 0, false, exportVCardFolderCommand},
    {IDM_FILE_EXIT, 0, false, exitProgram},
    {IDM_ITEM_ADD, IDT_ITEM_ADD, false, addContactCommand},
    {IDM_ITEM_EDIT, IDT_ITEM_EDIT, false, editContactCommand},
    {IDM_ITEM_DELETE, IDT_ITEM_DELETE, false, deleteContactCommand},
    {IDM_ITEM_MOVE_UP, IDT_ITEM_MOVE_UP, false, moveUpCommand},
    {IDM_ITEM_MOVE_DOWN, IDT_ITEM_MOVE_DOWN, false, moveDownCommand},
    {IDM_ITEM_DELETE_CHECKED, IDT_ITEM_DELETE_CHECKED, false, deleteCheckedCommand},
    {IDM_ITEM_SORT_BY_NAME, 0, false, sortByNameCommand},
    {IDM_ITEM_REMOVE_DUPLICATES, 0, false, removeDuplicatesCommand},
    {IDM_FEEDBACK, 0, false, sendFeedbackCommand},
    {IDM_HELP, 0, false, showHelpCommand},
    {IDM_ABOUT, 0, false, showAboutCommand},
    {IDM_FOCUS_SEARCH, 0, true, focusSearchBox},
};

void onCommand(WPARAM wParam, LPARAM lParam)
{
    for (const auto &command : commands) {
        if (wParam == command.menuId || (command.toolbarId != 0 && wParam == command.toolbarId) ||
            (command.keyed && wParam == MAKEWPARAM(command.menuId, FROM_ACCELERATOR))) {
            command.run();
            return;
        }
    }
    if ((HWND)lParam == searchBox && HIWORD(wParam) == EN_CHANGE)
        showSearchMatches();
}
