// Drives the real program in-process: starts it as the entry point does, and ends it by
// closing the main window and running the message loop to its end.
#pragma once

#include <windows.h>

#include "tests/support/contacts.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

using Responder = std::function<void(HWND)>;

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Runs the program's message loop until it ends, as after Exit; its exit code.
    int runLoopToEnd();

    // Queues the answer to the next modal window the program opens (dialog, message box,
    // file chooser). A window nobody answers fails the test and is cancelled.
    void respond(Responder responder);
    // Runs a command as the menu or toolbar sends it.
    void runCommand(int id);

    HWND window = nullptr;
    bool closed = false;
};

// Answers for respond():
// a message box or dialog: checks nothing, presses button (IDOK, IDYES, IDNO, IDCANCEL).
Responder pressButton(int button);
// a message box: checks its caption and text, then presses button.
Responder answer(int button, const std::string &caption, const std::string &text);
// the contact dialog: types the three texts and presses OK (1003) or Cancel (1004).
Responder fillContact(const char *name, const char *number, const char *remark, int button);
// the platform's file chooser: types path into its name box and presses OK.
Responder chooseFileNamed(const std::string &path);
// the folder dialog: presses OK on a blank path, which must keep it open, then on folder
// with spaces around it.
Responder typeFolder(const std::string &folder);

std::string windowText(HWND window);

// The rows of the list view as the user sees them: "name|number|remark", with " [x]" after
// a ticked row.
using Rows = std::vector<std::string>;
Rows listRows();
// Scrolls a row into view and clicks it where the list's own hit test finds part alone
// (LVHT_ONITEMLABEL, LVHT_ONITEMSTATEICON).
void clickRow(int row, UINT part);
// A point on a row (scrolled into view) that the list's own hit test finds on part alone.
LPARAM pointOnRow(int row, UINT part);
// Selects row alone (none for -1) and gives it the keyboard focus.
void selectRow(int row);
// Presses key in window as the keyboard does, with Ctrl held or not, and lets the program's
// message loop take it and everything it leads to (dialogs are answered meanwhile).
void pressKey(HWND window, WPARAM key, bool control = false);
// Drops files on the main window as Explorer does, and lets the program take them.
void dropFiles(const std::vector<std::string> &paths);

// Selects one row and gives another the keyboard focus (none for -1), as a Ctrl+arrow leaves
// them: a command that takes one for the other shows.
void selectAndFocus(int selected, int focused);
