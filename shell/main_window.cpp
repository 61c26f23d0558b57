// The main window procedure. Each message it acts on is one short call; default processing
// follows every message, as the window's behaviour expects.
#include "shell/main_window.h"

#include "common/text.h"
#include "resources/resource.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/file_commands.h"
#include "shell/list_view.h"
#include "shell/toolbar.h"
#include "store/contact_list.h"


char currentPath[PATH_SIZE];
const char programTitle[] = "Vostrelina v1.0";
static HACCEL accelerators;
static HWND focusedControl; // the control that had the keyboard when the window was left

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
    updateTitle();
    clearContacts();
    createToolbar();
    createSearchBox();
    createListView();
    accelerators = LoadAcceleratorsA(appInstance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    // What DragAcceptFiles does, without loading the shell's library for it.
    SetWindowLongPtrA(window, GWL_EXSTYLE, GetWindowLongPtrA(window, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
}

bool translateMainWindowKey(MSG *message)
{
    if (TranslateAcceleratorA(mainWindow, accelerators, message))
        return true;
    if (message->message != WM_KEYDOWN)
        return false;
    bool inSearchBox = message->hwnd == searchBox;
    if (message->wParam == VK_TAB && (inSearchBox || message->hwnd == listView)) {
        SetFocus(inSearchBox ? listView : searchBox);
        return true;
    }
    if (message->wParam == VK_ESCAPE && inSearchBox) {
        SetWindowTextA(searchBox, ""); // the box reports the change, and every contact shows
        return true;
    }
    return false;
}

// A dialog or message box, or another program, takes the keyboard away; the control that
// had it gets it back when the window is active again, as the list when none had it yet.
static void onActivate(WPARAM wParam)
{
    HWND focused = GetFocus();
    if (LOWORD(wParam) == WA_INACTIVE && focused != nullptr && IsChild(mainWindow, focused))
        focusedControl = focused;
}

static void onSetFocus()
{
    SetFocus(focusedControl != nullptr && IsWindow(focusedControl) ? focusedControl : listView);
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        onCreate(window);
    else if (message == WM_CLOSE)
        PostQuitMessage(0);
    else if (message == WM_NOTIFY)
        onListNotify((const NMHDR *)lParam);
    else if (message == WM_COMMAND)
        onCommand(wParam, lParam);
    else if (message == WM_DROPFILES)
        openDroppedFiles((HDROP)wParam);
    else if (message == WM_ACTIVATE)
        onActivate(wParam);
    else if (message == WM_SETFOCUS)
        onSetFocus();
    return DefWindowProcA(window, message, wParam, lParam);
}
