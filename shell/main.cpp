// Entry point of Vostrelina.exe.
#include "shell/app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    if (startProgram(instance, showCommand) == nullptr)
        return 0;
    return runMessageLoop();
}
