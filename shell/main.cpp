// Entry point of Vostrelina.exe.
#include "shell/app.h"
#include "shell/file_commands.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    if (startProgram(instance, showCommand) == nullptr)
        return 0;
    openCommandLineBook(commandLine);
    return runMessageLoop();
}
