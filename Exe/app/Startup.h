// The program's start: the run mode from the command line, one instance per device, the platform's
// libraries, the resource library, the main window and the one message loop. The exit code is the quit
// request's: 18 after a normal close, 0 when the start failed.
#pragma once

#include <windows.h>

int RunProgram(HINSTANCE instance, LPCWSTR commandLine, int show);
