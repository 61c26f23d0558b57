// The interface icons are loaded at 16 x 16 so that the toolbar and the list get the small
// image the artwork has, not a scaled-down 32 x 32 one. Icons loaded this way are the
// program's own and are destroyed when the window closes.
#include "shell/ui_icons.h"

#include "resources/resource.h"
#include "shell/app.h"

UiIcons uiIcons;

enum { SMALL_ICON = 16 };

static HICON loadSmallIcon(int id)
{
    return (HICON)LoadImageA(appInstance, MAKEINTRESOURCEA(id), IMAGE_ICON, SMALL_ICON,
                             SMALL_ICON, LR_DEFAULTCOLOR);
}

void loadIcons()
{
    uiIcons.checkTicked = loadSmallIcon(IDI_CHECK_TICKED);
    uiIcons.checkEmpty = loadSmallIcon(IDI_CHECK_EMPTY);
    uiIcons.add = loadSmallIcon(IDI_TOOL_ADD);
    uiIcons.remove = loadSmallIcon(IDI_TOOL_DELETE);
    uiIcons.edit = loadSmallIcon(IDI_TOOL_EDIT);
    uiIcons.newBook = loadSmallIcon(IDI_TOOL_NEW);
    uiIcons.openBook = loadSmallIcon(IDI_TOOL_OPEN);
    uiIcons.saveBook = loadSmallIcon(IDI_TOOL_SAVE);
    uiIcons.moveUp = loadSmallIcon(IDI_TOOL_MOVE_UP);
    uiIcons.moveDown = loadSmallIcon(IDI_TOOL_MOVE_DOWN);
    uiIcons.deleteChecked = loadSmallIcon(IDI_TOOL_DELETE_CHECKED);
}

void releaseIcons()
{
    HICON *icons[] = {&uiIcons.checkTicked, &uiIcons.checkEmpty, &uiIcons.add,
                      &uiIcons.remove,      &uiIcons.edit,       &uiIcons.newBook,
                      &uiIcons.saveBook,    &uiIcons.openBook,   &uiIcons.moveDown,
                      &uiIcons.moveUp,      &uiIcons.deleteChecked};
    for (HICON *icon : icons) {
        if (*icon != nullptr)
            DestroyIcon(*icon);
        *icon = nullptr;
    }
}
