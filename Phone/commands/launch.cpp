// phone launch: start the program (or another) with a command line.
#include "../Command.h"
#include "../Launch.h"

#include "device/Text.h"

#include <cstdio>
#include <filesystem>

namespace phone {

namespace {

int Run(Args& args)
{
    std::string program = args.Option("--program");
    if (program.empty())
        program = kZelkova;
    else if (program[0] != '\\' && program[0] != '/')
        program = std::filesystem::absolute(program).string(); // a host path from here
    pid_t pid = Launch(program, device::Utf16FromUtf8(args.Rest()));
    std::printf("%d\n", static_cast<int>(pid));
    return 0;
}

} // namespace

extern const Command kLaunch{
    "launch",
    "[--program PATH] [CMDLINE...]",
    "start the program with that command line; print its process id",
    "The program is \\Program Files\\Zelkova\\Zelkova.exe unless --program names a device path (\\...)\n"
    "or a host file. The words of CMDLINE are joined by single blanks into one command line.",
    true,
    &Run,
};

} // namespace phone
