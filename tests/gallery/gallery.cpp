// Screenshot gallery: starts the real program, sets up one scene with Chinese contacts and
// saves what the screen shows of the program as a BMP. Run by scripts/screenshots.
//   gallery.exe SCENE OUT.bmp
#include "common/text.h"
#include "shell/app.h"
#include "shell/csv_commands.h"
#include "resources/resource.h"
#include "shell/choosers.h"
#include "shell/contact_view.h"
#include "shell/list_view.h"
#include "shell/main_window.h"
#include "shell/toolbar.h"
#include "store/contact_list.h"
#include "tests/support/chooser_input.h"
#include "tests/support/contacts.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

static void addSampleContacts()
{
    addContact("张伟", "13800138000", "大学同学", 1);
    addContact("王芳", "13912345678", "公司前台", 0);
    addContact("李娜", "+86 10 6552 9988", "牙医诊所", 1);
    addContact("刘洋", "15000001234", "", 0);
    addContact("陈静", "13800990011", "羽毛球搭档", 0);
    addContact("Li Lei", "13800000001", "English name", 0);
    addContact("赵敏", "0755-88886666", "快递", 1);
}

// Pumps messages for a while so every window has painted.
static void settle(DWORD milliseconds)
{
    DWORD end = GetTickCount() + milliseconds;
    while (GetTickCount() < end) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    }
}

// Saves a screen area as a 24-bit BMP.
static bool saveScreenImage(RECT frame, const char *path)
{
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    int stride = (width * 3 + 3) & ~3;
    info.biSizeImage = stride * height;
    static unsigned char pixels[4096 * 4096 * 3];
    GetDIBits(memory, bitmap, 0, height, pixels, (BITMAPINFO *)&info, DIB_RGB_COLORS);
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + info.biSizeImage;

    FILE *file = fopen(path, "wb");
    bool written = file != nullptr && fwrite(&header, sizeof header, 1, file) == 1 &&
                   fwrite(&info, sizeof info, 1, file) == 1 &&
                   fwrite(pixels, info.biSizeImage, 1, file) == 1;
    if (file != nullptr)
        written = fclose(file) == 0 && written;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return written;
}

static void showSearch()
{
    addSampleContacts();
    refreshContactView(SHOW_ALL);
    SetWindowTextA(searchBox, "138");
}

// Letters that spell a name in pinyin find it: zs for 张三.
static void showPinyinSearch()
{
    addSampleContacts();
    addContact("张三", "13700001111", "邻居", 0);
    refreshContactView(SHOW_ALL);
    SetWindowTextA(searchBox, "zs");
}

static void askToSort()
{
    addSampleContacts();
    refreshContactView(SHOW_ALL);
    SendMessageA(mainWindow, WM_COMMAND, IDM_ITEM_SORT_BY_NAME, 0);
}

static void showMain()
{
    addSampleContacts();
    refreshContactView(SHOW_ALL);
    LVITEMA select = {};
    select.state = select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(listView, LVM_SETITEMSTATE, 1, (LPARAM)&select);
}

static void openAddDialog()
{
    showMain();
    SendMessageA(mainWindow, WM_COMMAND, IDM_ITEM_ADD, 0);
}

static void openFolderDialog()
{
    showMain();
    chooseFolder("批量生成vcf");
}

static void openEditDialog()
{
    showMain();
    SendMessageA(mainWindow, WM_COMMAND, IDM_ITEM_EDIT, 0);
}

static void openTextExport()
{
    showMain();
    SendMessageA(mainWindow, WM_COMMAND, IDM_EXPORT_TXT, 0);
}

static void openHelp()
{
    showMain();
    SendMessageA(mainWindow, WM_COMMAND, IDM_HELP, 0);
}

static void openAbout()
{
    showMain();
    SendMessageA(mainWindow, WM_COMMAND, IDM_ABOUT, 0);
}

// Writes a scratch file in the temporary folder; path receives its name.
static void writeScratchFile(char *path, size_t size, const char *name, const char *text)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    formatText(path, size, "%s%s", folder, name);
    FILE *file = fopen(path, "wb");
    if (file != nullptr) {
        fputs(text, file);
        fclose(file);
    }
}

static void openCsvColumns()
{
    showMain();
    char path[MAX_PATH];
    writeScratchFile(path, sizeof path, "通讯录导出.csv",
                     "Name,Given Name,Family Name,Phone 1 - Value,Notes\r\n张伟,伟,张,13800138000,\r\n");
    importCsvFile(path);
    remove(path);
}

// A workbook LibreOffice Calc saved, through the same column dialog.
static void openWorkbookColumns()
{
    showMain();
    importXlsxFile(TEST_DATA_DIR "/readers/xlsx-saved-by-libreoffice.xlsx");
}

static char damagedBook[MAX_PATH];

static void openDamagedBook()
{
    showMain();
    writeScratchFile(damagedBook, sizeof damagedBook, "通讯录备份.ctb", "not a contact book");
    SendMessageA(mainWindow, WM_COMMAND, IDM_FILE_OPEN, 0);
    remove(damagedBook);
}

static void typeContact(HWND dialog)
{
    SetDlgItemTextA(dialog, 1000, "张三");
    SetDlgItemTextA(dialog, 1001, "13800000000");
    SetDlgItemTextA(dialog, 1002, "大学同学");
}

static void typeExportPath(HWND dialog)
{
    SetDlgItemTextA(dialog, 1000, "D:\\通讯录.txt");
    CheckDlgButton(dialog, 1011, BST_CHECKED);
}

static void pickTopic(HWND dialog)
{
    SendDlgItemMessageA(dialog, 1021, LB_SETCURSEL, 1, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1021, LBN_SELCHANGE), 0);
}

static void typeFolder(HWND dialog)
{
    SetDlgItemTextA(dialog, 1000, "D:\\手机通讯录");
}

// Answers the file chooser with the damaged book, so the next window is the load error.
static void chooseDamagedBook(HWND chooser)
{
    typeIntoFileChooser(chooser, damagedBook);
}

static void leaveAsItIs(HWND) {}

struct Scene {
    const char *name;
    void (*show)();          // sets the scene up; may open a modal window
    void (*answer)(HWND);    // answers a first modal window (the file chooser), or null
    void (*fill)(HWND);      // fills the photographed modal window, or null
};

static const Scene scenes[] = {
    {"main", showMain, nullptr, nullptr},
    {"search", showSearch, nullptr, nullptr},
    {"pinyin", showPinyinSearch, nullptr, nullptr},
    {"sort", askToSort, nullptr, leaveAsItIs},
    {"add", openAddDialog, nullptr, typeContact},
    {"edit", openEditDialog, nullptr, leaveAsItIs},
    {"text-export", openTextExport, nullptr, typeExportPath},
    {"csv-columns", openCsvColumns, nullptr, leaveAsItIs},
    {"xlsx-columns", openWorkbookColumns, nullptr, leaveAsItIs},
    {"help", openHelp, nullptr, pickTopic},
    {"about", openAbout, nullptr, leaveAsItIs},
    {"folder", openFolderDialog, nullptr, typeFolder},
    {"load-error", openDamagedBook, chooseDamagedBook, leaveAsItIs},
};

static const Scene *scene;
static const char *imagePath;
static bool answered;
static bool saved;
static HWND lastModal;

static BOOL CALLBACK findNewModal(HWND candidate, LPARAM found)
{
    char className[16] = "";
    GetClassNameA(candidate, className, sizeof className);
    if (strcmp(className, "#32770") == 0 && IsWindowVisible(candidate) &&
        IsWindowEnabled(candidate) && candidate != lastModal) {
        *(HWND *)found = candidate;
        return FALSE;
    }
    return TRUE;
}

static RECT programArea(HWND modal)
{
    RECT area, window;
    GetWindowRect(mainWindow, &area);
    if (modal != nullptr) {
        GetWindowRect(modal, &window);
        UnionRect(&area, &area, &window);
    }
    return area;
}

// Runs inside the modal loops: answers the chooser where the scene needs it, then
// photographs the next modal window with the main window behind it, and closes it.
static void CALLBACK photographModal(HWND, UINT, UINT_PTR, DWORD)
{
    HWND modal = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findNewModal, (LPARAM)&modal);
    if (modal == nullptr)
        return;
    lastModal = modal;
    if (scene->answer != nullptr && !answered) {
        answered = true;
        scene->answer(modal);
        return;
    }
    if (scene->fill == nullptr) {
        EndDialog(modal, 0);
        return;
    }
    scene->fill(modal);
    settle(400);
    saved = saveScreenImage(programArea(modal), imagePath);
    EndDialog(modal, 0);
}

int main(int argc, char **argv)
{
    for (const Scene &candidate : scenes)
        if (argc == 3 && strcmp(argv[1], candidate.name) == 0)
            scene = &candidate;
    if (scene == nullptr) {
        fprintf(stderr, "usage: gallery.exe SCENE OUT.bmp\n");
        return 1;
    }
    HWND window = startProgram(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    if (window == nullptr)
        return 2;
    // The file chooser changes the current folder: keep the full path of the image.
    static char fullPath[MAX_PATH];
    GetFullPathNameA(argv[2], sizeof fullPath, fullPath, nullptr);
    imagePath = fullPath;
    UINT_PTR timer = SetTimer(nullptr, 0, 100, photographModal);
    scene->show();
    KillTimer(nullptr, timer);
    if (!saved) {
        settle(500);
        saved = saveScreenImage(programArea(nullptr), imagePath);
    }
    DestroyWindow(window);
    return saved ? 0 : 3;
}
