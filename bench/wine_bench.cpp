// Under Wine, in-process on the real main window: the program's private memory empty and with
// 100,000 contacts shown; Open of a 100,000-contact book and import of a 100,000-line CSV file
// through the program's own commands (after the file chooser), until painted; a keystroke in
// the search box at 512, 10,000 and 100,000 contacts (one in ten ticked) until the list view
// has painted its rows, next to the floor of repainting the unchanged list; and start-up to
// the first painted main window of Vostrelina.exe next to a program that only opens a window,
// and to one that also loads the common controls.
// Usage: wine_bench DATA_FOLDER VOSTRELINA_EXE MINIMAL_EXE MINIMAL_CONTROLS_EXE. Prints
// "name value unit" lines.
#include "resources/resource.h"
#include "shell/app.h"
#include "shell/contact_view.h"
#include "shell/csv_commands.h"
#include "shell/file_commands.h"
#include "shell/list_view.h"
#include "shell/main_window.h"
#include "shell/toolbar.h"
#include "store/contact_list.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

enum {
    BIG_BOOK = 100000,
    COMMAND_RUNS = 5,
    FLOOR_RUNS = 15,
    START_UP_RUNS = 11,
    ANSWER_INTERVAL_MS = 10,
    MESSAGE_BOX_TEXT_ID = 0xFFFF
};

static double nowMs()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return counter.QuadPart * 1000.0 / frequency.QuadPart;
}

static void pumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Paints whatever waits to be painted, the list view's own rows included, before returning.
static void paintNow()
{
    RedrawWindow(mainWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

static double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

static std::string bookPath(const std::string &folder, int count)
{
    return folder + "\\book_" + std::to_string(count) + ".ctb";
}

// Empties the program as New does, without its question, and paints the empty list.
static void emptyProgram()
{
    clearContacts();
    refreshContactView(SHOW_ALL);
    paintNow();
    pumpMessages();
}

// Wine 8 leaves PrivateUsage 0 and gives the process's private resident memory as
// PagefileUsage, which Windows fills with the same private bytes.
static void printPrivateMemory(const char *name)
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), (PROCESS_MEMORY_COUNTERS *)&counters,
                         sizeof counters);
    SIZE_T bytes = counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
    printf("%s %.0f KB\n", name, bytes / 1024.0);
    fflush(stdout);
}

// Measured first, before any other figure has grown the heap.
static void measureMemory(const std::string &folder)
{
    printPrivateMemory("memory_empty");
    openBookFile(bookPath(folder, BIG_BOOK).c_str());
    paintNow();
    pumpMessages();
    printPrivateMemory("memory_100000");
}

static void timeOpen(const std::string &folder)
{
    std::string book = bookPath(folder, BIG_BOOK);
    std::vector<double> times;
    for (int run = 0; run < COMMAND_RUNS; run++) {
        emptyProgram();
        double start = nowMs();
        openBookFile(book.c_str());
        paintNow();
        times.push_back(nowMs() - start);
        pumpMessages();
    }
    printf("open_100000 %.1f ms\n", median(times));
    fflush(stdout);
}

// The import's column dialog is answered by a thread timer, as a user presses OK. The time
// the dialog waits for that answer is the user's, not the program's: it is taken out, from
// the dialog's activation to the press. How long Wine takes to make and close the dialog is
// noted apart: from its creation to its destruction, without the wait.
static double dialogCreatedAt, dialogShownAt, answeredAt, dialogDestroyedAt;
static HHOOK activationHook;

static LRESULT CALLBACK noteActivation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && dialogCreatedAt == 0)
        dialogCreatedAt = nowMs();
    if (code == HCBT_ACTIVATE && dialogShownAt == 0)
        dialogShownAt = nowMs();
    if (code == HCBT_DESTROYWND && dialogShownAt != 0)
        dialogDestroyedAt = nowMs();
    return CallNextHookEx(activationHook, code, wParam, lParam);
}

static BOOL CALLBACK findDialog(HWND window, LPARAM found)
{
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    *(HWND *)found = window;
    return FALSE;
}

// Presses OK on the column dialog, once; a message box (the file held no contact) is an
// error of the benchmark's data, reported and closed.
static void CALLBACK answerDialog(HWND, UINT, UINT_PTR, DWORD)
{
    static HWND answered;
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findDialog, (LPARAM)&dialog);
    if (dialog == nullptr || dialog == answered)
        return;
    answered = dialog;
    if (GetDlgItem(dialog, IDC_CSV_NAME) != nullptr) {
        answeredAt = nowMs();
    } else {
        char text[256] = "";
        GetDlgItemTextA(dialog, MESSAGE_BOX_TEXT_ID, text, sizeof text);
        printf("error message-box %s\n", text);
    }
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

static void timeCsvImport(const std::string &folder)
{
    std::string csv = folder + "\\lines_" + std::to_string(BIG_BOOK) + ".csv";
    std::vector<double> times, dialogTimes;
    activationHook = SetWindowsHookExA(WH_CBT, noteActivation, nullptr, GetCurrentThreadId());
    UINT_PTR timer = SetTimer(nullptr, 0, ANSWER_INTERVAL_MS, answerDialog);
    for (int run = 0; run < COMMAND_RUNS; run++) {
        emptyProgram();
        dialogCreatedAt = dialogShownAt = answeredAt = dialogDestroyedAt = 0;
        double start = nowMs();
        importCsvFile(csv.c_str());
        paintNow();
        double wait = answeredAt - dialogShownAt;
        times.push_back(nowMs() - start - wait);
        dialogTimes.push_back(dialogDestroyedAt - dialogCreatedAt - wait);
        pumpMessages();
    }
    KillTimer(nullptr, timer);
    UnhookWindowsHookEx(activationHook);
    if (contactCount != BIG_BOOK)
        printf("error imported %d contacts\n", (int)contactCount);
    printf("import_csv_100000 %.1f ms\n", median(times));
    printf("import_csv_dialog %.1f ms\n", median(dialogTimes));
    fflush(stdout);
}

// Types a growing and shrinking number into the search box, as a user looking for one
// contact does, and times each keystroke until the list view has painted its rows again.
static void timeKeystrokes(const std::string &folder, int count)
{
    emptyProgram();
    openBookFile(bookPath(folder, count).c_str());
    int index = 0;
    for (Contact *c = firstContact; c != nullptr; c = c->next)
        c->checked = index++ % 10 == 0;
    refreshContactView(SHOW_ALL);
    paintNow();
    pumpMessages();
    static const char *const keystrokes[] = {"1", "13", "130", "13", "1", "", "王", ""};
    std::vector<double> times;
    for (int round = 0; round < 3; round++) {
        for (const char *typed : keystrokes) {
            double start = nowMs();
            SetWindowTextA(searchBox, typed);
            paintNow();
            times.push_back(nowMs() - start);
            pumpMessages();
        }
    }
    printf("keystroke_%d %.2f ms\n", count, median(times));
    printf("keystroke_max_%d %.2f ms\n", count, *std::max_element(times.begin(), times.end()));
    fflush(stdout);
}

// The list as the last keystroke left it, invalidated and repainted with nothing changed:
// what a keystroke costs at the least.
static void timeRepaintFloor()
{
    std::vector<double> times;
    for (int run = 0; run < FLOOR_RUNS; run++) {
        double start = nowMs();
        InvalidateRect(listView, nullptr, TRUE);
        paintNow();
        times.push_back(nowMs() - start);
        pumpMessages();
    }
    printf("repaint_floor %.2f ms\n", median(times));
    fflush(stdout);
}

struct WindowSearch {
    DWORD process;
    HWND found;
};

static BOOL CALLBACK findProcessWindow(HWND window, LPARAM lParam)
{
    WindowSearch *search = (WindowSearch *)lParam;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

// Starts the program and waits until its message loop first runs idle, which is after its
// main window was shown and painted; then closes it. The time to idle, in ms.
static double timeStartUp(const std::string &program)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + program + "\"";
    double start = nowMs();
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return -1;
    DWORD waited = WaitForInputIdle(process.hProcess, 20000);
    double elapsed = nowMs() - start;
    WindowSearch search = {process.dwProcessId, nullptr};
    for (int tries = 0; tries < 100 && search.found == nullptr; tries++) {
        EnumWindows(findProcessWindow, (LPARAM)&search);
        if (search.found == nullptr)
            Sleep(20);
    }
    if (search.found != nullptr)
        PostMessageA(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return waited == 0 && search.found != nullptr ? elapsed : -1;
}

// The program next to a bare window, and to a bare window that loads the common controls
// (version 6, as the program's manifest asks) as the program must before its first paint.
static void compareStartUps(const std::string &program, const std::string &minimal,
                            const std::string &minimalWithControls)
{
    std::vector<double> programTimes, minimalTimes, controlsTimes;
    for (int run = 0; run < START_UP_RUNS; run++) {
        programTimes.push_back(timeStartUp(program));
        minimalTimes.push_back(timeStartUp(minimal));
        controlsTimes.push_back(timeStartUp(minimalWithControls));
    }
    printf("startup_vostrelina %.1f ms\n", median(programTimes));
    printf("startup_minimal %.1f ms\n", median(minimalTimes));
    printf("startup_minimal_controls %.1f ms\n", median(controlsTimes));
}

int main(int argc, char **argv)
{
    if (argc != 5) {
        fprintf(stderr, "usage: wine_bench DATA_FOLDER VOSTRELINA_EXE MINIMAL_EXE MINIMAL_CONTROLS_EXE\n");
        return 2;
    }
    if (startProgram(GetModuleHandleA(nullptr), SW_SHOWNORMAL) == nullptr)
        return 1;
    pumpMessages();
    std::string folder = argv[1];
    measureMemory(folder);
    timeOpen(folder);
    timeCsvImport(folder);
    for (int count : {512, 10000, (int)BIG_BOOK})
        timeKeystrokes(folder, count);
    timeRepaintFloor();
    DestroyWindow(mainWindow);
    pumpMessages();
    compareStartUps(argv[2], argv[3], argv[4]);
    return 0;
}
