// Under Wine: the list view's refill per keystroke at 512, 10,000 and 100,000 contacts (one
// in ten ticked), run in-process on the real main window; and start-up to the first
// painted main window of Vostrelina.exe next to a program that only opens a window.
// Usage: wine_bench DATA_FOLDER VOSTRELINA_EXE MINIMAL_EXE. Prints "name value unit" lines.
#include "bookfile/book_file.h"
#include "shell/app.h"
#include "shell/contact_view.h"
#include "shell/main_window.h"
#include "shell/toolbar.h"
#include "store/contact_list.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

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

static double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Types a growing and shrinking number into the search box, as a user looking for one
// contact does, and times each keystroke until the list is painted again.
static void timeKeystrokes(const std::string &folder, int count)
{
    clearContacts();
    std::string book = folder + "\\book_" + std::to_string(count) + ".ctb";
    if (loadBook(book.c_str()) != LOAD_OK) {
        printf("error cannot-read %s\n", book.c_str());
        return;
    }
    int index = 0;
    for (Contact *c = firstContact; c != nullptr; c = c->next)
        c->checked = index++ % 10 == 0;
    refreshContactView(SHOW_ALL);
    pumpMessages();
    static const char *const keystrokes[] = {"1", "13", "130", "13", "1", "", "王", ""};
    std::vector<double> times;
    for (int round = 0; round < 3; round++) {
        for (const char *typed : keystrokes) {
            double start = nowMs();
            SetWindowTextA(searchBox, typed);
            UpdateWindow(mainWindow);
            times.push_back(nowMs() - start);
            pumpMessages();
        }
    }
    printf("keystroke_%d %.2f ms\n", count, median(times));
    printf("keystroke_max_%d %.2f ms\n", count, *std::max_element(times.begin(), times.end()));
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

static void compareStartUps(const std::string &program, const std::string &minimal)
{
    std::vector<double> programTimes, minimalTimes;
    for (int run = 0; run < 7; run++) {
        programTimes.push_back(timeStartUp(program));
        minimalTimes.push_back(timeStartUp(minimal));
    }
    printf("startup_vostrelina %.1f ms\n", median(programTimes));
    printf("startup_minimal %.1f ms\n", median(minimalTimes));
}

int main(int argc, char **argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: wine_bench DATA_FOLDER VOSTRELINA_EXE MINIMAL_EXE\n");
        return 2;
    }
    if (startProgram(GetModuleHandleA(nullptr), SW_SHOWNORMAL) == nullptr)
        return 1;
    pumpMessages();
    for (int count : {512, 10000, 100000})
        timeKeystrokes(argv[1], count);
    DestroyWindow(mainWindow);
    pumpMessages();
    compareStartUps(argv[2], argv[3]);
    return 0;
}
