// The list's header as the user works with it (its rows, ticks and search are the model
// run's).
#include "tests/ui/ui_harness.h"

#include "shell/list_view.h"

#include <commctrl.h>

using ListViewTest = ProgramTest;

TEST_F(ListViewTest, HeaderIgnoresClicksDragsAndDoubleClicks)
{
    HWND header = FindWindowExA(listView, nullptr, "SysHeader32", nullptr);
    ASSERT_NE(nullptr, header);
    RECT first;
    SendMessageA(header, HDM_GETITEMRECT, 0, (LPARAM)&first);
    int middle = (first.top + first.bottom) / 2;
    // Press on the divider after the first column, drag 60 pixels right, release.
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(first.right - 1, middle));
    SendMessageA(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(first.right + 60, middle));
    SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(first.right + 60, middle));
    // Click the title of the second column.
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(first.right + 50, middle));
    SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(first.right + 50, middle));
    // Double-click the divider, which would fit the column to its texts.
    SendMessageA(header, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(first.right - 1, middle));
    SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(first.right - 1, middle));
    const int widths[] = {150, 200, 150};
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(widths[i], (int)SendMessageA(listView, LVM_GETCOLUMNWIDTH, i, 0));

    HCURSOR before = GetCursor();
    SendMessageA(header, WM_SETCURSOR, (WPARAM)header, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(before, GetCursor()) << "no resize cursor over the dividers";
}
