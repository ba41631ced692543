// The program's entry point.
#include "app/Startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int show)
{
    return RunProgram(instance, commandLine, show);
}
