// Drives the real program in-process: starts it as the entry point does, and ends it by
// closing the main window and running the message loop to its end.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

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
