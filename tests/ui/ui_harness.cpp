#include "tests/ui/ui_harness.h"

#include "shell/app.h"
#include "store/contact_list.h"

void ProgramTest::SetUp()
{
    window = startProgram(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    ASSERT_NE(nullptr, window);
}

int ProgramTest::closeProgram()
{
    PostMessageA(window, WM_CLOSE, 0, 0);
    closed = true;
    return runMessageLoop();
}

void ProgramTest::TearDown()
{
    if (!closed)
        closeProgram();
    clearContacts();
}

std::string windowText(HWND window)
{
    char text[512];
    GetWindowTextA(window, text, sizeof text);
    return text;
}
