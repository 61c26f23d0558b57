// The main window procedure. Each message it acts on is one short call; default processing
// follows every message, as the window's behaviour expects.
#include "shell/main_window.h"

#include "common/text.h"
#include "shell/choosers.h"
#include "shell/commands.h"
#include "shell/list_view.h"
#include "shell/toolbar.h"
#include "shell/ui_icons.h"
#include "store/contact_list.h"

HWND mainWindow;
char currentPath[PATH_SIZE];
const char programTitle[] = "Vostrelina v1.0";

// Room for the title, the quotes around the path and the longest path.
enum { CAPTION_SIZE = sizeof programTitle + sizeof " - \"\"" + PATH_SIZE };

void updateTitle()
{
    char caption[CAPTION_SIZE];
    if (currentPath[0] != '\0')
        formatText(caption, sizeof caption, "%s - \"%s\"", programTitle, currentPath);
    else
        formatText(caption, sizeof caption, "%s%s", programTitle, " - 新文件");
    SetWindowTextA(mainWindow, caption);
}

static void onCreate(HWND window)
{
    mainWindow = window;
    currentPath[0] = '\0';
    chosenFolder[0] = '\0';
    updateTitle();
    clearContacts();
    loadIcons();
    createToolbar();
    createSearchBox();
    createListView();
}

static void onClose()
{
    releaseIcons();
    PostQuitMessage(0);
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        onCreate(window);
    else if (message == WM_CLOSE)
        onClose();
    else if (message == WM_NOTIFY)
        onListNotify((const NMHDR *)lParam);
    else if (message == WM_COMMAND)
        onCommand(wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}
