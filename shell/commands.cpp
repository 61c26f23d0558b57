// Command dispatch. The whole wParam is compared with each command identifier, so only menu
// items and toolbar buttons (notification code 0) run a command.
#include "shell/commands.h"

#include "shell/contact_view.h"
#include "shell/toolbar.h"

void onCommand(WPARAM wParam, LPARAM lParam)
{
    if ((HWND)lParam == searchBox && HIWORD(wParam) == EN_CHANGE)
        refreshContactView(1);
}
