// Command dispatch. The whole wParam is compared with each command identifier, so only menu
// items and toolbar buttons (notification code 0) run a command; the search box's change
// notification refreshes the rows.
#include "shell/commands.h"

#include "shell/csv_commands.h"
#include "shell/text_commands.h"
#include "shell/vcard_commands.h"
#include "resources/resource.h"
#include "shell/contact_view.h"
#include "shell/file_commands.h"
#include "shell/help_dialogs.h"
#include "shell/item_commands.h"
#include "shell/tidy_commands.h"
#include "shell/toolbar.h"

struct Command {
    WPARAM menuId;
    WPARAM toolbarId; // 0 where the toolbar has no button for it
    void (*run)();
};

static const Command commands[] = {
    {IDM_FILE_EXIT, 0, exitProgram},
    {IDM_FILE_NEW, IDT_FILE_NEW, newBook},
    {IDM_FILE_OPEN, IDT_FILE_OPEN, openBook},
    {IDM_FILE_SAVE, IDT_FILE_SAVE, saveCurrentBook},
    {IDM_FILE_SAVE_AS, 0, saveBookAs},
    {IDM_ITEM_ADD, IDT_ITEM_ADD, addContactCommand},
    {IDM_ITEM_EDIT, IDT_ITEM_EDIT, editContactCommand},
    {IDM_ITEM_DELETE, IDT_ITEM_DELETE, deleteContactCommand},
    {IDM_ITEM_DELETE_CHECKED, IDT_ITEM_DELETE_CHECKED, deleteCheckedCommand},
    {IDM_ITEM_MOVE_UP, IDT_ITEM_MOVE_UP, moveUpCommand},
    {IDM_ITEM_MOVE_DOWN, IDT_ITEM_MOVE_DOWN, moveDownCommand},
    {IDM_EXPORT_TXT, 0, exportTextCommand},
    {IDM_IMPORT_TXT, 0, importTextCommand},
    {IDM_IMPORT_VCF, 0, importVCardFileCommand},
    {IDM_IMPORT_VCF_FOLDER, 0, importVCardFolderCommand},
    {IDM_EXPORT_VCF_FOLDER, 0, exportVCardFolderCommand},
    {IDM_IMPORT_CSV, 0, importCsvCommand},
    {IDM_EXPORT_CSV, 0, exportCsvCommand},
    {IDM_FEEDBACK, 0, sendFeedbackCommand},
    {IDM_ABOUT, 0, showAboutCommand},
    {IDM_HELP, 0, showHelpCommand},
    {IDM_EXPORT_VCF, 0, exportVCardFileCommand},
    {IDM_ITEM_SORT_BY_NAME, 0, sortByNameCommand},
    {IDM_ITEM_REMOVE_DUPLICATES, 0, removeDuplicatesCommand},
};

void onCommand(WPARAM wParam, LPARAM lParam)
{
    for (const Command &command : commands) {
        if (wParam == command.menuId || (command.toolbarId != 0 && wParam == command.toolbarId)) {
            command.run();
            break;
        }
    }
    if ((HWND)lParam == searchBox && HIWORD(wParam) == EN_CHANGE)
        refreshContactView(SHOW_MATCHES);
}
