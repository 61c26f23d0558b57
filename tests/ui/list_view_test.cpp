// The list view as the user works with it (what the search shows is the model run's).
#include "tests/ui/ui_harness.h"

#include "shell/contact_view.h"
#include "shell/list_view.h"
#include "shell/toolbar.h"
#include "store/contact_list.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

using Rows = std::vector<std::string>;
using ListViewTest = ProgramTest;

static void clickBox(int row)
{
    clickRow(row, LVHT_ONITEMSTATEICON);
}

static void clickName(int row)
{
    clickRow(row, LVHT_ONITEMLABEL);
}

static void pressSpace(int row)
{
    LVITEMA select = {};
    select.state = select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(listView, LVM_SETITEMSTATE, row, (LPARAM)&select);
    SendMessageA(listView, WM_KEYDOWN, VK_SPACE, 0);
}

struct TickCase {
    const char *search;
    int row;
    void (*tick)(int row);
    const char *flags; // afterwards; the same way again clears the tick
};

// The list keeps no ticks: the program ticks the contact of the row the user meant, also
// under a search, where a row's index is not its contact's place.
TEST_F(ListViewTest, ClickOnTheBoxAndSpaceTickTheRowsContact)
{
    addContact("A");
    addContact("B");
    addContact("C");
    const TickCase cases[] = {
        {"", 2, clickBox, "A:-s B:-s C:cs"},   {"B", 0, clickBox, "A:-- B:cs C:--"},
        {"", 1, pressSpace, "A:-s B:cs C:-s"}, {"C", 0, pressSpace, "A:-- B:-- C:cs"},
        {"", 0, clickName, "A:-s B:-s C:-s"},
    };
    for (const TickCase &c : cases) {
        typeSearch(c.search);
        c.tick(c.row);
        std::string flags = c.flags;
        EXPECT_EQ(flags, contactFlags()) << "search " << c.search << ", row " << c.row;
        EXPECT_EQ(flags.find('c') != std::string::npos,
                  listRows()[c.row].find(" [x]") != std::string::npos);
        c.tick(c.row);
        std::replace(flags.begin(), flags.end(), 'c', '-');
        EXPECT_EQ(flags, contactFlags()) << "again: search " << c.search << ", row " << c.row;
    }
}

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
