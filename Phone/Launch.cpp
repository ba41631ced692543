#include "Launch.h"

#include "Command.h"

#include "device/Text.h"
#include "process/EndpointPath.h"
#include "process/HostProcess.h"
#include "process/StartProgram.h"

#include <winerror.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

namespace phone {

namespace {

std::string StartFailure(const std::string& program, DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return "no program at " + program;
    case ERROR_ACCESS_DENIED: return program + " is not a program file";
    case ERROR_BAD_FORMAT: return program + " is not a program the host can run";
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE: return "'" + program + "' is not a device path (\\...) or host path (/...)";
    }
    return "cannot start " + program + " (error " + std::to_string(error) + ")";
}

void AwaitJoined(pid_t pid)
{
    int64_t hostStart = device::HostStartTime(pid);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    // Soon at first, as most programs join within a few milliseconds; then every 5 ms.
    auto pause = std::chrono::milliseconds(1);
    while (!std::filesystem::exists(device::EndpointPath(pid)) && device::IsRunning(pid, hostStart) &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(5));
    }
}

} // namespace

pid_t Launch(const std::string& program, const std::u16string& commandLine)
{
    DWORD error = 0;
    pid_t pid = device::StartDeviceProgram(device::Utf16FromUtf8(program), commandLine, &error);
    if (!pid)
        throw Failure(StartFailure(program, error));
    AwaitJoined(pid);
    return pid;
}

} // namespace phone
