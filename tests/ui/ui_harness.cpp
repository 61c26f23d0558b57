#include "tests/ui/ui_harness.h"

#include "common/text.h"
#include "resources/resource.h"
#include "shell/app.h"
#include "shell/list_view.h"
#include "shell/main_window.h"
#include "shell/toolbar.h"
#include "store/contact_list.h"
#include "tests/support/chooser_input.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>

// The responder runs from a thread timer, which keeps firing inside the modal loops of
// dialogs, message boxes and file choosers.
static std::deque<Responder> responders;
struct HandledWindow {
    HWND window;
    DWORD since;
};
static std::vector<HandledWindow> handledWindows;
static UINT_PTR responderTimer;
enum { RESPONDER_INTERVAL_MS = 30, MESSAGE_BOX_TEXT_ID = 65535, STUCK_AFTER_MS = 10000 };

static BOOL CALLBACK findModalWindow(HWND candidate, LPARAM found)
{
    char className[16] = "";
    GetClassNameA(candidate, className, sizeof className);
    if (strcmp(className, "#32770") != 0 || !IsWindowVisible(candidate) ||
        !IsWindowEnabled(candidate))
        return TRUE;
    for (const HandledWindow &handled : handledWindows)
        if (handled.window == candidate)
            return TRUE;
    *(HWND *)found = candidate;
    return FALSE;
}

static void CALLBACK answerModalWindow(HWND, UINT, UINT_PTR, DWORD)
{
    // A closed window's handle may come back for a new one. A window still open long after
    // it was answered waits for something the test never gives: fail instead of hanging.
    handledWindows.erase(std::remove_if(handledWindows.begin(), handledWindows.end(),
                                        [](const HandledWindow &handled) {
                                            return !IsWindow(handled.window);
                                        }),
                         handledWindows.end());
    for (const HandledWindow &handled : handledWindows) {
        if (GetTickCount() - handled.since > STUCK_AFTER_MS) {
            ADD_FAILURE() << "window still open after its answer: " << windowText(handled.window);
            EndDialog(handled.window, IDCANCEL);
        }
    }
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findModalWindow, (LPARAM)&dialog);
    if (dialog == nullptr)
        return;
    handledWindows.push_back({dialog, GetTickCount()});
    if (responders.empty()) {
        HWND text = GetDlgItem(dialog, MESSAGE_BOX_TEXT_ID);
        ADD_FAILURE() << "unexpected window: " << windowText(dialog) << " "
                      << (text != nullptr ? windowText(text) : "");
        EndDialog(dialog, IDCANCEL);
        return;
    }
    Responder responder = responders.front();
    responders.pop_front();
    responder(dialog);
}

void ProgramTest::SetUp()
{
    responders.clear();
    handledWindows.clear();
    responderTimer = SetTimer(nullptr, 0, RESPONDER_INTERVAL_MS, answerModalWindow);
    window = startProgram(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    ASSERT_NE(nullptr, window);
}

void ProgramTest::respond(Responder responder)
{
    responders.push_back(responder);
}

void ProgramTest::runCommand(int id)
{
    SendMessageA(window, WM_COMMAND, id, 0);
}

Responder pressButton(int button)
{
    return [button](HWND dialog) { PostMessageA(dialog, WM_COMMAND, button, 0); };
}

Responder answer(int button, const std::string &caption, const std::string &text)
{
    return [=](HWND box) {
        EXPECT_EQ(caption, windowText(box));
        EXPECT_EQ(text, windowText(GetDlgItem(box, MESSAGE_BOX_TEXT_ID)));
        PostMessageA(box, WM_COMMAND, button, 0);
    };
}

Responder fillContact(const char *name, const char *number, const char *remark, int button)
{
    std::string texts[] = {name, number, remark};
    return [texts, button](HWND dialog) {
        for (int i = 0; i < 3; i++)
            SetDlgItemTextA(dialog, 1000 + i, texts[i].c_str());
        SendMessageA(dialog, WM_COMMAND, button, 0);
    };
}

Responder chooseFileNamed(const std::string &path)
{
    return [path](HWND dialog) { typeIntoFileChooser(dialog, path.c_str()); };
}

Responder typeFolder(const std::string &folder)
{
    return [folder](HWND dialog) {
        for (const std::string &typed : {std::string("   "), "  " + folder + " "}) {
            EXPECT_TRUE(IsWindowVisible(dialog)) << "a blank path keeps the dialog open";
            SetDlgItemTextA(dialog, IDC_FOLDER_PATH, typed.c_str());
            SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        }
    };
}

int ProgramTest::runLoopToEnd()
{
    closed = true;
    int code = runMessageLoop();
    // The loop may end on a WM_QUIT it only peeked at; the next test's modal loops must not
    // find it.
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        ;
    return code;
}

void ProgramTest::TearDown()
{
    EXPECT_TRUE(responders.empty()) << responders.size() << " expected windows never opened";
    if (!closed) { // closed as the user closes it: no question, whatever is unsaved
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(0, runLoopToEnd());
    }
    KillTimer(nullptr, responderTimer);
    clearContacts();
}

// Runs the program's message loop on what is queued, until nothing is.
static void runQueuedMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (translateMainWindowKey(&message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void pressKey(HWND window, WPARAM key, bool control)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
    runQueuedMessages();
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

void dropFiles(const std::vector<std::string> &paths)
{
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string &path : paths)
        size += path.size() + 1;
    HGLOBAL drop = GlobalAlloc(GHND, size);
    DROPFILES *files = (DROPFILES *)GlobalLock(drop);
    files->pFiles = sizeof(DROPFILES);
    char *name = (char *)(files + 1);
    for (const std::string &path : paths)
        name += path.copy(name, path.size()) + 1;
    GlobalUnlock(drop);
    PostMessageA(mainWindow, WM_DROPFILES, (WPARAM)drop, 0);
    runQueuedMessages();
}

std::string windowText(HWND window)
{
    char text[512];
    GetWindowTextA(window, text, sizeof text);
    return text;
}

static std::string cellText(int row, int column)
{
    char text[64] = "";
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(listView, LVM_GETITEMTEXTA, row, (LPARAM)&item);
    return text;
}

Rows listRows()
{
    Rows rows;
    int count = (int)SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0);
    for (int row = 0; row < count; row++) {
        UINT state = (UINT)SendMessageA(listView, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK);
        rows.push_back(cellText(row, 0) + "|" + cellText(row, 1) + "|" + cellText(row, 2) +
                       (state == 0x2000 ? " [x]" : ""));
    }
    return rows;
}

LPARAM pointOnRow(int row, UINT part)
{
    SendMessageA(listView, LVM_ENSUREVISIBLE, row, FALSE); // as the user scrolls to it
    RECT bounds;
    bounds.left = LVIR_BOUNDS;
    SendMessageA(listView, LVM_GETITEMRECT, row, (LPARAM)&bounds);
    LVHITTESTINFO hit = {};
    hit.pt.y = (bounds.top + bounds.bottom) / 2;
    for (hit.pt.x = bounds.left; hit.pt.x < bounds.right; hit.pt.x++)
        if (SendMessageA(listView, LVM_HITTEST, 0, (LPARAM)&hit) == row &&
            (hit.flags & LVHT_ONITEM) == part)
            break;
    EXPECT_LT(hit.pt.x, bounds.right) << "no such part on row " << row;
    return MAKELPARAM(hit.pt.x, hit.pt.y);
}

void clickRow(int row, UINT part)
{
    LPARAM point = pointOnRow(row, part);
    SendMessageA(listView, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(listView, WM_LBUTTONUP, 0, point);
}

void selectAndFocus(int selected, int focused)
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(listView, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&item);
    const struct {
        int row;
        UINT state;
    } marks[] = {{selected, LVIS_SELECTED}, {focused, LVIS_FOCUSED}};
    for (const auto &mark : marks) {
        item.state = item.stateMask = mark.state;
        if (mark.row >= 0)
            SendMessageA(listView, LVM_SETITEMSTATE, mark.row, (LPARAM)&item);
    }
}

void selectRow(int row)
{
    selectAndFocus(row, row);
}
