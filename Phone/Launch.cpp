#include "Launch.h"

#include "Command.h"

#include "device/Device.h"
#include "device/Text.h"
#include "process/StartProgram.h"
#include "process/ThisProcess.h"

#include <winerror.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

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
    case ERROR_BAD_LENGTH: return "the command line is too long for the host to start " + program;
    case ERROR_NO_PROC_SLOTS:
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_TOO_MANY_OPEN_FILES:
        return "the host cannot start another process now (error " + std::to_string(error) + ")";
    }
    return "cannot start " + program + " (error " + std::to_string(error) + ")";
}

std::filesystem::path ProgramLog() { return device::RunDir() / "programs.log"; }

// Why the process could not join, from what it wrote to the program log after `from`; empty when it did not
// say.
std::string LoggedJoinFailure(pid_t pid, std::streamoff from)
{
    std::ifstream log(ProgramLog());
    log.seekg(from);
    std::string why;
    for (std::string line; std::getline(log, line);)
        if (std::string said = device::JoinFailureIn(line, pid); !said.empty())
            why = said;
    return why;
}

std::string EndFailure(const std::string& program, pid_t pid, int status, std::streamoff logFrom)
{
    if (WIFSIGNALED(status))
        return program + " ended at once, killed by signal " + std::to_string(WTERMSIG(status)) + " (" +
               strsignal(WTERMSIG(status)) + ")";
    std::string why = LoggedJoinFailure(pid, logFrom);
    if (!why.empty())
        return program + " could not join the device: " + why;
    return program + " ended at once with exit code " + std::to_string(WEXITSTATUS(status)) + " (its output is in " +
           ProgramLog().string() + ")";
}

} // namespace

pid_t Launch(const std::string& program, const std::u16string& commandLine)
{
    std::error_code none;
    auto logFrom = static_cast<std::streamoff>(std::filesystem::file_size(ProgramLog(), none));
    if (none)
        logFrom = 0;
    DWORD error = 0;
    pid_t pid = device::StartDeviceProgram(device::Utf16FromUtf8(program), commandLine, &error);
    if (!pid)
        throw Failure(StartFailure(program, error));
    // A program that ends before it has joined has failed, unless it did its work and ended well.
    device::StartOutcome outcome = device::AwaitJoin(pid, std::chrono::seconds(20));
    if (outcome.endStatus && !(WIFEXITED(*outcome.endStatus) && WEXITSTATUS(*outcome.endStatus) == 0))
        throw Failure(EndFailure(program, pid, *outcome.endStatus, logFrom));
    return pid;
}

} // namespace phone
