// Help, about and feedback.
#pragma once

#include <windows.h>

extern const char feedbackAddress[];

void showHelpCommand();
void showAboutCommand();
void sendFeedbackCommand();

// How the feedback command hands its mailto: link to the shell; tests put their own here so
// that no mail program starts.
typedef HINSTANCE(WINAPI *ShellOpener)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
extern ShellOpener openWithShell;
