// The program's start-up: window class, font, main window placement and message loop.
#include "shell/app.h"

#include "interchange/text_encoding.h"
#include "resources/resource.h"
#include "shell/main_window.h"

#include <commctrl.h>

HINSTANCE appInstance;
HFONT uiFont;
HWND mainWindow;
const char outOfMemoryMessage[] = "内存不足！";

static const char mainWindowClass[] = "card";

enum {
    CENTRED_WIDTH = 500,  // the size the position is computed for
    CENTRED_HEIGHT = 350,
    WINDOW_WIDTH = 508,   // the size the window is given
    WINDOW_HEIGHT = 384,
    // A character height of 12 pixels: for 宋体, whose cell has no internal leading, the
    // same font as a 12-pixel cell on Windows, and the size its 12-pixel bitmaps are drawn at.
    UI_FONT_HEIGHT = -12
};

static void registerMainWindowClass(HINSTANCE instance)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN_MENU);
    windowClass.lpszClassName = mainWindowClass;
    RegisterClassA(&windowClass);
}

static HFONT createUiFont()
{
    return CreateFontA(UI_FONT_HEIGHT, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       FF_SWISS | DEFAULT_PITCH, "宋体");
}

HWND startProgram(HINSTANCE instance, int showCommand)
{
    selectAnsiLocale();
    registerMainWindowClass(instance);
    InitCommonControls();
    uiFont = createUiFont();
    appInstance = instance;
    HWND window = CreateWindowExA(0, mainWindowClass, programTitle,
                                  WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, 0,
                                  0, CENTRED_WIDTH, CENTRED_HEIGHT, nullptr, nullptr, instance,
                                  nullptr);
    if (window == nullptr)
        return nullptr;
    int x = (GetSystemMetrics(SM_CXSCREEN) - CENTRED_WIDTH) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - CENTRED_HEIGHT) / 2;
    SetWindowPos(window, HWND_NOTOPMOST, x, y, WINDOW_WIDTH, WINDOW_HEIGHT, SWP_SHOWWINDOW);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return window;
}

int runMessageLoop()
{
    MSG message = {};
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    while (message.message != WM_QUIT) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (translateMainWindowKey(&message))
                continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else {
            WaitMessage();
        }
    }
    return (int)message.wParam;
}
