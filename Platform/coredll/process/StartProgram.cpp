#include "process/StartProgram.h"

#include "device/Clock.h"
#include "device/Database.h"
#include "device/Device.h"
#include "device/Paths.h"
#include "device/Text.h"
#include "process/HostProcess.h"
#include "process/ProcessTable.h"

#include <winerror.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace device {

namespace fs = std::filesystem;

namespace {

// This process's environment, pointing the program at this process's device.
std::vector<std::string> ProgramEnvironment()
{
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry)
        if (std::strncmp(*entry, "PHONE_DEVICE=", 13) != 0)
            environment.emplace_back(*entry);
    environment.push_back("PHONE_DEVICE=" + fs::absolute(Dir()).string());
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Owns the spawn attributes and file actions for one start.
struct SpawnSetup {
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t actions;
    SpawnSetup(const std::string& log)
    {
        posix_spawnattr_init(&attributes);
        sigset_t signals;
        sigemptyset(&signals);
        posix_spawnattr_setsigmask(&attributes, &signals);
        for (int sig : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD}) // whatever this process ignores
            sigaddset(&signals, sig);
        posix_spawnattr_setsigdefault(&attributes, &signals);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
};

bool StartsWith(std::u16string_view text, char16_t c) { return !text.empty() && text.front() == c; }

} // namespace

pid_t StartProgram(const fs::path& hostProgram, std::u16string_view commandLine, DWORD* error)
{
    struct stat info;
    if (stat(hostProgram.c_str(), &info) != 0) {
        *error = ERROR_FILE_NOT_FOUND;
        return 0;
    }
    if (!S_ISREG(info.st_mode) || access(hostProgram.c_str(), X_OK) != 0) {
        *error = ERROR_ACCESS_DENIED;
        return 0;
    }
    // The program sees the path it was started by (a link in the device's file system gives a device path).
    std::string program = fs::absolute(hostProgram).lexically_normal().string();
    std::vector<std::string> arguments{program, Utf8FromUtf16(commandLine).value_or(std::string())};
    std::vector<std::string> environment = ProgramEnvironment();
    auto argv = Pointers(arguments);
    auto envp = Pointers(environment);
    SpawnSetup setup((RunDir() / "programs.log").string());
    pid_t pid = 0;
    if (int failed = posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attributes, argv.data(), envp.data())) {
        *error = failed == ENOEXEC ? ERROR_BAD_FORMAT : ERROR_NOT_ENOUGH_MEMORY;
        return 0;
    }
    // Someone has to wait for the program's end, or it would linger as a zombie while this process runs.
    std::thread([pid] {
        int status;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    try {
        if (int64_t hostStart = HostStartTime(pid))
            PutProcess(ProcessEntry{pid, hostStart, NowTicks(), program, std::u16string(commandLine)});
    } catch (const DatabaseError&) {
        // It runs all the same, and lists itself when it joins.
    }
    return pid;
}

pid_t StartDeviceProgram(std::u16string_view program, std::u16string_view commandLine, DWORD* error)
{
    std::u16string path, ignored;
    SplitApplication(program, &path, &ignored);
    if (StartsWith(path, u'/')) {
        auto host = Utf8FromUtf16(path);
        if (!host) {
            *error = ERROR_INVALID_NAME;
            return 0;
        }
        return StartProgram(fs::path(*host), commandLine, error);
    }
    if (!StartsWith(path, u'\\')) {
        *error = ERROR_INVALID_NAME;
        return 0;
    }
    auto host = HostPath(path.c_str(), error);
    return host ? StartProgram(*host, commandLine, error) : 0;
}

void SplitApplication(std::u16string_view text, std::u16string* program, std::u16string* arguments)
{
    while (!text.empty() && text.front() == u' ')
        text.remove_prefix(1);
    if (!StartsWith(text, u'"')) {
        *program = std::u16string(text);
        arguments->clear();
        return;
    }
    size_t close = text.find(u'"', 1);
    if (close == std::u16string_view::npos)
        close = text.size();
    *program = std::u16string(text.substr(1, close - 1));
    std::u16string_view rest = close < text.size() ? text.substr(close + 1) : std::u16string_view();
    while (!rest.empty() && rest.front() == u' ')
        rest.remove_prefix(1);
    *arguments = std::u16string(rest);
}

} // namespace device
