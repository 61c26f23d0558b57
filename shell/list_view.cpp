// The list view. Its rows are filled by refreshContactView; here live its creation, its
// header and the notifications that map a row back to its contact.
#include "shell/list_view.h"

#include "common/text.h"
#include "resources/resource.h"
#include "shell/app.h"
#include "shell/main_window.h"
#include "shell/ui_icons.h"
#include "store/contact_list.h"

#include <commctrl.h>

HWND listView;
static HIMAGELIST checkImages;
static WNDPROC savedHeaderProc;

enum {
    LIST_X = 1,
    LIST_Y = 30,
    LIST_WIDTH = 500,
    LIST_HEIGHT = 302,
    ICON_SIZE = 16,
    HEADER_GRADIENT_ROWS = 32, // white at the top to (224, 224, 224) 31 pixels down
    COLUMN_TITLE_SIZE = 50
};

static const DWORD listStyles = WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL |
                                LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_NOSORTHEADER;
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
    checkImages = ImageList_Create(ICON_SIZE, ICON_SIZE, ILC_MASK, 1, 1);
    ImageList_ReplaceIcon(checkImages, -1, uiIcons.checkEmpty);
    ImageList_ReplaceIcon(checkImages, -1, uiIcons.checkTicked);
    SendMessageA(listView, LVM_SETIMAGELIST, LVSIL_STATE, (LPARAM)checkImages);
    insertColumn(0, "姓名", 150);
    insertColumn(1, "号码", 200);
    insertColumn(2, "备注", 150);
    HWND header = FindWindowExA(listView, nullptr, "SysHeader32", nullptr);
    savedHeaderProc = (WNDPROC)GetWindowLongPtrA(header, GWLP_WNDPROC);
    SetWindowLongPtrA(header, GWLP_WNDPROC, (LONG_PTR)headerProc);
}

int firstSelectedRow(HWND list)
{
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < count; i++)
        if (SendMessageA(list, LVM_GETITEMSTATE, i, LVIS_SELECTED) == LVIS_SELECTED)
            return i;
    return -1;
}

static void selectRow(int row)
{
    LVITEMA item = {};
    item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(listView, LVM_SETITEMSTATE, row, (LPARAM)&item);
}

// A double-click edits the row it was on, which a click on a check box does not select. On
// the check box itself it only ticks, as the press before it did: the list ticks wherever its
// hit test names the box, also together with other parts (Wine does so in the row's margin).
static void onDoubleClick(const NMITEMACTIVATE *activate)
{
    if (activate->iItem < 0)
        return;
    LVHITTESTINFO hit = {};
    hit.pt = activate->ptAction;
    SendMessageA(listView, LVM_HITTEST, 0, (LPARAM)&hit);
    if (hit.flags & LVHT_ONITEMSTATEICON)
        return;
    selectRow(activate->iItem);
    SendMessageA(mainWindow, WM_COMMAND, IDT_ITEM_EDIT, 0);
}

static bool tickingQuietly;

void tickRowQuietly(int row)
{
    LVITEMA item = {};
    item.state = STATE_IMAGE_TICKED;
    item.stateMask = LVIS_STATEIMAGEMASK;
    tickingQuietly = true;
    SendMessageA(listView, LVM_SETITEMSTATE, row, (LPARAM)&item);
    tickingQuietly = false;
}

// A row's check box changed: its contact follows. Only the state-image bits are compared,
// so ticking the selected or focused row counts too. A row that was just inserted (old
// state 0) changes nothing, and neither does a change of selection or focus: Delete moves
// the selection off a row whose contact is already gone, so the row's index no longer
// leads to its own contact.
static void onItemChanged(const NMLISTVIEW *change)
{
    if (tickingQuietly)
        return;
    UINT image = change->uNewState & LVIS_STATEIMAGEMASK;
    if (change->uOldState == 0 || image == (change->uOldState & LVIS_STATEIMAGEMASK) ||
        (image != STATE_IMAGE_TICKED && image != STATE_IMAGE_EMPTY))
        return;
    Contact *contact = shownContactAt(change->iItem);
    if (contact != nullptr)
        contact->checked = image == STATE_IMAGE_TICKED ? 1 : 0;
}

void onListNotify(const NMHDR *header)
{
    if (header->hwndFrom != listView)
        return;
    if (header->code == (UINT)NM_DBLCLK)
        onDoubleClick((const NMITEMACTIVATE *)header);
    if (header->code == (UINT)LVN_ITEMCHANGED)
        onItemChanged((const NMLISTVIEW *)header);
}
