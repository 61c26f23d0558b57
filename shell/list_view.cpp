// The list view. It holds no rows: refreshContactView tells it how many there are, and here
// it is answered what each row shows. Here live too its creation, its header, and the
// ticking, which the program does itself because a list without rows keeps no ticks.
#include "shell/list_view.h"

#include "common/text.h"
#include "resources/resource.h"
#include "shell/app.h"
#include "shell/contact_view.h"
#include "shell/ui_icons.h"

#include <commctrl.h>

HWND listView;
static WNDPROC savedHeaderProc;

enum {
    LIST_X = 1,
    LIST_Y = 30,
    LIST_WIDTH = 500,
    LIST_HEIGHT = 302,
    HEADER_GRADIENT_ROWS = 32, // white at the top to (224, 224, 224) 31 pixels down
    COLUMN_TITLE_SIZE = 50
};

static const DWORD listStyles = WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL |
                                LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_NOSORTHEADER |
                                LVS_OWNERDATA;
static const DWORD listExtendedStyles =
    LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;

static void insertColumn(int index, const char *title, int width)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = width;
    column.pszText = (char *)title;
    SendMessageA(listView, LVM_INSERTCOLUMNA, index, (LPARAM)&column);
}

// Paints one header item: a vertical gradient with the column title centred on it.
static void paintHeaderItem(HDC dc, HWND header, int index, HBRUSH *brushes)
{
    RECT item;
    SendMessageA(header, HDM_GETITEMRECT, index, (LPARAM)&item);
    for (int y = 0; y < HEADER_GRADIENT_ROWS; y++) {
        RECT row;
        SetRect(&row, item.left + 1, y, item.right, y + 1);
        FillRect(dc, &row, brushes[y]);
    }
    char title[COLUMN_TITLE_SIZE] = "";
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT;
    column.pszText = title;
    column.cchTextMax = sizeof title;
    SendMessageA(listView, LVM_GETCOLUMNA, index, (LPARAM)&column);
    SIZE extent;
    int length = (int)strlen(title);
    GetTextExtentPoint32A(dc, title, length, &extent);
    TextOutA(dc, item.left + (item.right - extent.cx - item.left) / 2,
             item.top + (item.bottom - extent.cy - item.top) / 2, title, length);
}

static void paintHeader(HWND header)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(header, &paint);
    HGDIOBJ oldFont = SelectObject(dc, uiFont);
    HBRUSH brushes[HEADER_GRADIENT_ROWS];
    for (int y = 0; y < HEADER_GRADIENT_ROWS; y++)
        brushes[y] = CreateSolidBrush(RGB(255 - y, 255 - y, 255 - y));
    int count = (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0);
    SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < count; i++)
        paintHeaderItem(dc, header, i, brushes);
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    SelectObject(dc, oldFont);
    EndPaint(header, &paint);
}

// The header is painted by the program and ignores the mouse: no sorting clicks, no
// resizing (a double-click on a divider would fit the column to its texts), no resize cursor.
static LRESULT CALLBACK headerProc(HWND header, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        paintHeader(header);
        return 0;
    }
    if (message == WM_SETCURSOR || message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK)
        return 0;
    return CallWindowProcA(savedHeaderProc, header, message, wParam, lParam);
}

void createListView()
{
    listView = CreateWindowExA(0, WC_LISTVIEWA, "", listStyles, LIST_X, LIST_Y, LIST_WIDTH,
                               LIST_HEIGHT, mainWindow, (HMENU)IDC_CONTACT_LIST, appInstance,
                               nullptr);
    // The check-box style brings images of its own; ours replace them afterwards.
    SendMessageA(listView, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, listExtendedStyles);
    static const int checkIcons[] = {IDI_CHECK_EMPTY, IDI_CHECK_TICKED};
    SendMessageA(listView, LVM_SETIMAGELIST, LVSIL_STATE,
                 (LPARAM)loadIconList(checkIcons, countOf(checkIcons)));
    // The ticks are the contacts' own: the list asks for a row's box whenever it draws it.
    SendMessageA(listView, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
    insertColumn(0, "姓名", 150);
    insertColumn(1, "号码", 200);
    insertColumn(2, "备注", 150);
    HWND header = FindWindowExA(listView, nullptr, "SysHeader32", nullptr);
    savedHeaderProc = (WNDPROC)GetWindowLongPtrA(header, GWLP_WNDPROC);
    SetWindowLongPtrA(header, GWLP_WNDPROC, (LONG_PTR)headerProc);
}

// The row whose check box is at point, or -1: in the first column, where the hit test names
// the box, also together with other parts (Wine does so in the row's margin). Over the other
// columns Wine's plain hit test names every part of the row, the box too.
static int checkBoxRowAt(POINT point)
{
    LVHITTESTINFO hit = {};
    hit.pt = point;
    int row = (int)SendMessageA(listView, LVM_SUBITEMHITTEST, 0, (LPARAM)&hit);
    return hit.iSubItem == 0 && (hit.flags & LVHT_ONITEMSTATEICON) ? row : -1;
}

// A double-click edits the row it was on, which a click on a check box does not select. On
// the check box itself it only ticks, as the click before it did.
static void onDoubleClick(const NMITEMACTIVATE *activate)
{
    if (activate->iItem < 0 || checkBoxRowAt(activate->ptAction) >= 0)
        return;
    showRow(activate->iItem);
    SendMessageA(mainWindow, WM_COMMAND, IDT_ITEM_EDIT, 0);
}

// A row's texts and box, as the list asks for them while it paints.
static void describeRow(NMLVDISPINFOA *info)
{
    LVITEMA &item = info->item;
    const Contact *contact = contactAtRow(item.iItem);
    if (contact == nullptr)
        return;
    const char *texts[] = {contact->name, contact->number, contact->remark};
    if ((item.mask & LVIF_TEXT) && item.cchTextMax > 0 && item.iSubItem >= 0 &&
        item.iSubItem < (int)countOf(texts))
        copyText(item.pszText, item.cchTextMax, texts[item.iSubItem]);
    if (item.mask & LVIF_STATE) {
        item.state = contact->checked == 1 ? STATE_IMAGE_TICKED : STATE_IMAGE_EMPTY;
        item.stateMask = LVIS_STATEIMAGEMASK;
    }
}

static void toggleTick(int row)
{
    Contact *contact = contactAtRow(row);
    if (contact == nullptr)
        return;
    contact->checked = contact->checked == 1 ? 0 : 1;
    SendMessageA(listView, LVM_REDRAWITEMS, row, row);
}

// A click on a check box ticks or clears it, as the list itself ticks a box it keeps; a
// click anywhere else in the row only selects the row.
static void onClick(const NMITEMACTIVATE *click)
{
    toggleTick(checkBoxRowAt(click->ptAction));
}

// Space ticks or clears the row with the keyboard focus, which is the row the user last
// clicked or moved to; Enter edits that row's contact and Delete deletes it, as the toolbar's
// buttons do the selected one, so the focused row is selected first.
static void onKeyDown(const NMLVKEYDOWN *key)
{
    int focused = (int)SendMessageA(listView, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    if (key->wVKey == VK_SPACE) {
        toggleTick(focused);
    } else if ((key->wVKey == VK_RETURN || key->wVKey == VK_DELETE) && focused >= 0) {
        showRow(focused);
        SendMessageA(mainWindow, WM_COMMAND, key->wVKey == VK_RETURN ? IDT_ITEM_EDIT : IDT_ITEM_DELETE, 0);
    }
}

void onListNotify(const NMHDR *header)
{
    if (header->hwndFrom != listView)
        return;
    if (header->code == (UINT)LVN_GETDISPINFOA)
        describeRow((NMLVDISPINFOA *)header);
    if (header->code == (UINT)NM_CLICK)
        onClick((const NMITEMACTIVATE *)header);
    if (header->code == (UINT)LVN_KEYDOWN)
        onKeyDown((const NMLVKEYDOWN *)header);
    if (header->code == (UINT)NM_DBLCLK)
        onDoubleClick((const NMITEMACTIVATE *)header);
}
