// phone launch: start the program (or another) with a command line.
#include "../Command.h"
#include "../ProgramErrors.h"

#include "device/Text.h"
#include "process/EndpointPath.h"
#include "process/HostProcess.h"
#include "process/StartProgram.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace phone {

namespace {

namespace fs = std::filesystem;

constexpr const char* kProgram = "\\Program Files\\Zelkova\\Zelkova.exe";

// Until the program has joined the device (its endpoint is up) or ended, so that what follows sees it.
void AwaitJoined(pid_t pid)
{
    int64_t hostStart = device::HostStartTime(pid);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fs::exists(device::EndpointPath(pid)) && device::IsRunning(pid, hostStart) &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

int Run(Args& args)
{
    std::string program = args.Option("--program");
    if (program.empty())
        program = kProgram;
    else if (program[0] != '\\' && program[0] != '/')
        program = fs::absolute(program).string(); // a host path from here
    std::u16string commandLine = device::Utf16FromUtf8(args.Rest());
    DWORD error = 0;
    pid_t pid = device::StartDeviceProgram(device::Utf16FromUtf8(program), commandLine, &error);
    if (!pid)
        throw Failure(StartFailure(program, error));
    AwaitJoined(pid);
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
