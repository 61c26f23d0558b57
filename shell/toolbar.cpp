// The toolbar's buttons carry the same commands as the menu under their own identifiers.
// The search box is a child of the toolbar; the toolbar passes its notifications on to the
// main window.
#include "shell/toolbar.h"

#include "common/text.h"
#include "resources/resource.h"
#include "shell/app.h"
#include "shell/main_window.h"
#include "shell/ui_icons.h"

#include <commctrl.h>

HWND toolbarWindow;
HWND searchBox;
static HIMAGELIST toolbarImages;

enum {
    ICON_SIZE = 16,
    SEARCH_BOX_X = 69, // right of the first three buttons
    SEARCH_BOX_Y = 1,
    SEARCH_BOX_WIDTH = 200,
    SEARCH_BOX_HEIGHT = 20
};

static HIMAGELIST createToolbarImages()
{
    HIMAGELIST images = ImageList_Create(ICON_SIZE, ICON_SIZE, ILC_MASK, 1, 1);
    HICON icons[] = {uiIcons.newBook, uiIcons.openBook, uiIcons.saveBook,
                     uiIcons.add,     uiIcons.edit,     uiIcons.remove,
                     uiIcons.moveDown, uiIcons.moveUp,  uiIcons.deleteChecked};
    for (HICON icon : icons)
        ImageList_ReplaceIcon(images, -1, icon);
    return images;
}

static TBBUTTON toolbarButton(int image, int command, BYTE style)
{
    TBBUTTON button = {};
    button.iBitmap = image;
    button.idCommand = command;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = style;
    return button;
}

void createToolbar()
{
    toolbarImages = createToolbarImages();
    toolbarWindow = CreateWindowExA(0, TOOLBARCLASSNAMEA, "toolbar", WS_CHILD | WS_VISIBLE, 0, 0,
                                    ICON_SIZE, ICON_SIZE, mainWindow, (HMENU)IDC_TOOLBAR,
                                    appInstance, nullptr);
    SendMessageA(toolbarWindow, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(toolbarWindow, TB_SETIMAGELIST, 0, (LPARAM)toolbarImages);
    TBBUTTON buttons[] = {
        toolbarButton(0, IDT_FILE_NEW, TBSTYLE_BUTTON),
        toolbarButton(1, IDT_FILE_OPEN, TBSTYLE_BUTTON),
        toolbarButton(2, IDT_FILE_SAVE, TBSTYLE_BUTTON),
        toolbarButton(SEARCH_BOX_WIDTH, 0, TBSTYLE_SEP), // the search box lies over it
        toolbarButton(3, IDT_ITEM_ADD, TBSTYLE_BUTTON),
        toolbarButton(4, IDT_ITEM_EDIT, TBSTYLE_BUTTON),
        toolbarButton(5, IDT_ITEM_DELETE, TBSTYLE_BUTTON),
        toolbarButton(6, IDT_ITEM_MOVE_DOWN, TBSTYLE_BUTTON),
        toolbarButton(7, IDT_ITEM_MOVE_UP, TBSTYLE_BUTTON),
        toolbarButton(8, IDT_ITEM_DELETE_CHECKED, TBSTYLE_BUTTON),
    };
    SendMessageA(toolbarWindow, TB_ADDBUTTONSA, countOf(buttons), (LPARAM)buttons);
}

void createSearchBox()
{
    searchBox = CreateWindowExA(0, "edit", "", WS_CHILD | WS_VISIBLE | WS_BORDER, SEARCH_BOX_X,
                                SEARCH_BOX_Y, SEARCH_BOX_WIDTH, SEARCH_BOX_HEIGHT, toolbarWindow,
                                (HMENU)IDC_SEARCH_BOX, appInstance, nullptr);
    SendMessageA(searchBox, WM_SETFONT, (WPARAM)uiFont, TRUE);
}
