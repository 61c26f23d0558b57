// The toolbar's buttons carry the same commands as the menu under their own identifiers.
// The search box is a child of the toolbar; the toolbar passes its notifications on to the
// main window.
#include "shell/toolbar.h"

#include "common/text.h"
#include "resources/resource.h"
#include "shell/app.h"
#include "shell/ui_icons.h"
#include "store/quick_search.h"

#include <commctrl.h>

HWND toolbarWindow;
HWND searchBox;
static HIMAGELIST toolbarImages;

enum {
    SEARCH_BOX_X = 69, // right of the first three buttons
    SEARCH_BOX_Y = 1,
    SEARCH_BOX_WIDTH = 200,
    SEARCH_BOX_HEIGHT = 20,
    TYPED_QUERY_SIZE = 256
};

// The buttons from the left, each with its icon; the search box lies over the separator.
static const struct {
    int icon; // 0 for the separator
    int command;
} toolbarButtons[] = {
    {IDI_TOOL_NEW, IDT_FILE_NEW},         {IDI_TOOL_OPEN, IDT_FILE_OPEN},
    {IDI_TOOL_SAVE, IDT_FILE_SAVE},       {0, 0},
    {IDI_TOOL_ADD, IDT_ITEM_ADD},         {IDI_TOOL_EDIT, IDT_ITEM_EDIT},
    {IDI_TOOL_DELETE, IDT_ITEM_DELETE},   {IDI_TOOL_MOVE_DOWN, IDT_ITEM_MOVE_DOWN},
    {IDI_TOOL_MOVE_UP, IDT_ITEM_MOVE_UP}, {IDI_TOOL_DELETE_CHECKED, IDT_ITEM_DELETE_CHECKED},
};

void createToolbar()
{
    int icons[countOf(toolbarButtons)];
    TBBUTTON buttons[countOf(toolbarButtons)] = {};
    size_t iconCount = 0;
    for (size_t i = 0; i < countOf(toolbarButtons); i++) {
        bool separator = toolbarButtons[i].icon == 0;
        buttons[i].iBitmap = separator ? SEARCH_BOX_WIDTH : (int)iconCount;
        buttons[i].idCommand = toolbarButtons[i].command;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = separator ? TBSTYLE_SEP : TBSTYLE_BUTTON;
        if (!separator)
            icons[iconCount++] = toolbarButtons[i].icon;
    }
    toolbarImages = loadIconList(icons, iconCount);
    toolbarWindow = CreateWindowExA(0, TOOLBARCLASSNAMEA, "toolbar", WS_CHILD | WS_VISIBLE, 0, 0,
                                    SMALL_ICON_SIZE, SMALL_ICON_SIZE, mainWindow, (HMENU)IDC_TOOLBAR,
                                    appInstance, nullptr);
    SendMessageA(toolbarWindow, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(toolbarWindow, TB_SETIMAGELIST, 0, (LPARAM)toolbarImages);
    SendMessageA(toolbarWindow, TB_ADDBUTTONSA, countOf(buttons), (LPARAM)buttons);
}

void createSearchBox()
{
    searchBox = CreateWindowExA(0, "edit", "", WS_CHILD | WS_VISIBLE | WS_BORDER,
                                SEARCH_BOX_X, SEARCH_BOX_Y, SEARCH_BOX_WIDTH, SEARCH_BOX_HEIGHT,
                                toolbarWindow, (HMENU)IDC_SEARCH_BOX, appInstance, nullptr);
    SendMessageA(searchBox, WM_SETFONT, (WPARAM)uiFont, TRUE);
}

void readSearchQuery(SearchQuery *query)
{
    char typed[TYPED_QUERY_SIZE] = "";
    GetWindowTextA(searchBox, typed, sizeof typed);
    prepareQuery(query, typed);
}

bool searchBoxIsEmpty()
{
    return GetWindowTextLengthA(searchBox) == 0;
}
