// Screenshot gallery: starts the real program, sets up one scene with Chinese contacts and
// saves what the screen shows of the program as a BMP. Run by scripts/screenshots.
//   gallery.exe SCENE OUT.bmp
#include "common/text.h"
#include "shell/app.h"
#include "shell/contact_view.h"
#include "shell/list_view.h"
#include "shell/toolbar.h"
#include "store/contact_list.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

static void addContact(const char *name, const char *number, const char *remark, int checked)
{
    Contact contact = {};
    copyText(contact.name, sizeof contact.name, name);
    copyText(contact.number, sizeof contact.number, number);
    copyText(contact.remark, sizeof contact.remark, remark);
    contact.checked = checked;
    appendContact(contact);
}

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

// Saves the screen area of window, frame included, as a 24-bit BMP.
static bool saveWindowImage(HWND window, const char *path)
{
    RECT frame;
    GetWindowRect(window, &frame);
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
    refreshContactView(0);
    SetWindowTextA(searchBox, "138");
}

static void showMain()
{
    addSampleContacts();
    refreshContactView(0);
    LVITEMA select = {};
    select.state = select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(listView, LVM_SETITEMSTATE, 1, (LPARAM)&select);
}

struct Scene {
    const char *name;
    void (*show)();
};

static const Scene scenes[] = {
    {"main", showMain},
    {"search", showSearch},
};

int main(int argc, char **argv)
{
    const Scene *scene = nullptr;
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
    scene->show();
    settle(500);
    bool saved = saveWindowImage(window, argv[2]);
    DestroyWindow(window);
    return saved ? 0 : 3;
}
