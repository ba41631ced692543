// The start of a device program: the host's main() hands the program's WinMain its command line as one
// string, as the device does. One argument is passed verbatim, blanks and all; several are joined by
// single blanks. WinMain's result is the process's exit code. A program started on a device joins it first,
// so the device lists it (with that command line) before it makes any window; one that cannot join says
// why in the program log and ends with exit code 1, before WinMain.
#include <windows.h>

#include "device/Text.h"
#include "process/ThisProcess.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {
constexpr int kShow = 5; // SW_SHOW
}

int main(int argc, char** argv)
{
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i];
    }
    std::u16string commandLine = device::Utf16FromUtf8(line);
    std::string why;
    if (!device::JoinDevice(commandLine, &why)) {
        std::fputs(device::JoinFailureLine(getpid(), why).c_str(), stderr);
        return 1;
    }
    return WinMain(GetModuleHandleW(nullptr), nullptr, commandLine.data(), kShow);
}
