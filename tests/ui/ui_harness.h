// Drives the real program in-process: starts it as the entry point does, and ends it by
// closing the main window and running the message loop to its end.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Closes the main window and runs the program's loop until it ends; its exit code.
    int closeProgram();

    HWND window = nullptr;
    bool closed = false;
};

std::string windowText(HWND window);

// Appends a contact to the program's list, as an import would.
void addContact(const char *name, const char *number = "", const char *remark = "");
// The rows of the list view as the user sees them: "name|number|remark", with " [x]" after
// a ticked row.
std::vector<std::string> listRows();
// Types text into the search box (the box reports the change as the user's typing does).
void typeSearch(const char *text);
// Ticks or clears the check box of a row, through the list view itself.
void setRowTicked(int row, bool ticked);
// The names of the contacts in list order, with their checked and shown flags: "A:cs".
std::string contactFlags();
