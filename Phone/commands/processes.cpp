// phone ps, phone kill and phone wait: the device's processes.
#include "../Command.h"
#include "../PrintedText.h"

#include "process/HostProcess.h"
#include "process/Idle.h"
#include "process/ProcessTable.h"

#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace phone {

namespace {

int List(Args& args)
{
    args.ExpectEnd();
    for (const device::ProcessEntry& process : device::RunningProcesses())
        std::printf("%d %s %s\n", static_cast<int>(process.pid),
                    std::filesystem::path(process.program).filename().c_str(), Utf8(process.commandLine).c_str());
    return 0;
}

pid_t ParsePid(const std::string& text)
{
    bool digits = !text.empty() && text.size() <= 9;
    for (char c : text)
        digits = digits && std::isdigit(static_cast<unsigned char>(c));
    if (!digits || std::stol(text) == 0)
        throw UsageError("'" + text + "' is not a process id");
    return static_cast<pid_t>(std::stol(text));
}

int Kill(Args& args)
{
    pid_t pid = ParsePid(args.Take("the process id"));
    args.ExpectEnd();
    device::ProcessEntry target;
    for (const device::ProcessEntry& process : device::RunningProcesses())
        if (process.pid == pid)
            target = process;
    if (target.pid == 0)
        throw Failure("no device process " + std::to_string(pid));
    kill(pid, SIGKILL);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (device::IsRunning(pid, target.hostStart) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    device::ForgetProcess(pid);
    std::printf("killed %d\n", static_cast<int>(pid));
    return 0;
}

int Wait(Args& args)
{
    std::string bound = args.Option("--timeout");
    args.ExpectEnd();
    int seconds = 30;
    if (!bound.empty()) {
        bool digits = bound.size() <= 6;
        for (char c : bound)
            digits = digits && std::isdigit(static_cast<unsigned char>(c));
        if (!digits)
            throw UsageError("'" + bound + "' is not a number of seconds");
        seconds = std::stoi(bound);
    }
    if (!device::WaitDeviceIdle(std::chrono::seconds(seconds)))
        throw Failure("the device is still busy after " + std::to_string(seconds) + " seconds");
    std::printf("idle\n");
    return 0;
}

} // namespace

extern const Command kPs{
    "ps", "", "list the running device processes",
    "One line each, oldest first: PID PROGRAM COMMAND-LINE, the program being its file's name.", true, &List,
};

extern const Command kKill{
    "kill", "PID", "end a device process at once",
    "The process ends as a killed one does: without running its exit code. It leaves the process list\n"
    "and its windows go from the device.",
    true, &Kill,
};

extern const Command kWait{
    "wait", "[--timeout SECONDS]", "wait until every device process is idle",
    "Idle: each thread that owns a window waits for input with nothing queued. A process still starting\n"
    "(without a window) is not idle. Fails after the timeout (30 seconds unless given).",
    true, &Wait,
};

} // namespace phone
