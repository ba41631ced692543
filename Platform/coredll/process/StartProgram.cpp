#include "process/StartProgram.h"

#include "device/Clock.h"
#include "device/Database.h"
#include "device/Device.h"
#include "device/HostErrors.h"
#include "device/Paths.h"
#include "device/Text.h"
#include "device/UniqueFd.h"
#include "process/EndpointPath.h"
#include "process/HostProcess.h"
#include "process/ProcessTable.h"

#include <winerror.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern "C" {
#include <sys/pidfd.h> // glibc 2.36 declares pidfd_open without C linkage
}

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

// Why the host could not start a program file that is there.
DWORD SpawnError(int failed, const fs::path& program)
{
    switch (failed) {
    case ENOEXEC:
    case ENOENT: // its interpreter is missing
    case ELIBBAD: return ERROR_BAD_FORMAT;
    case ETXTBSY: return ERROR_ACCESS_DENIED;
    case E2BIG: return ERROR_BAD_LENGTH;
    case EAGAIN: return ERROR_NO_PROC_SLOTS;
    }
    return Win32ErrorFromErrno(failed, program);
}

// The ends of the programs this process started, the latest few, for AwaitJoin.
struct Ends {
    static constexpr size_t kKept = 64;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::pair<pid_t, int>> statuses;
};

Ends& TheEnds()
{
    static Ends* ends = new Ends; // reaper threads may outlive static destruction
    return *ends;
}

// Someone has to wait for the program's end, or it would linger as a zombie while this process runs.
void Reap(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    Ends& ends = TheEnds();
    std::lock_guard guard(ends.mutex);
    ends.statuses.emplace_back(pid, status);
    if (ends.statuses.size() > Ends::kKept)
        ends.statuses.pop_front();
    ends.changed.notify_all();
}

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
        *error = SpawnError(failed, hostProgram);
        return 0;
    }
    std::thread(Reap, pid).detach();
    try {
        if (int64_t hostStart = HostStartTime(pid))
            PutProcess(ProcessEntry{pid, hostStart, NowTicks(), program, std::u16string(commandLine)});
    } catch (const DatabaseError&) {
        // It runs all the same, and lists itself when it joins.
    }
    return pid;
}

StartOutcome AwaitJoin(pid_t pid, std::chrono::milliseconds bound)
{
    using Clock = std::chrono::steady_clock;
    auto deadline = Clock::now() + bound;
    // Woken when an endpoint appears in the run folder or when the program ends, instead of looking again
    // and again; where the host offers neither, every few milliseconds.
    UniqueFd created(inotify_init1(IN_CLOEXEC | IN_NONBLOCK));
    if (created && inotify_add_watch(created.Get(), RunDir().c_str(), IN_CREATE | IN_MOVED_TO) < 0)
        created = UniqueFd();
    UniqueFd ended(pidfd_open(pid, 0));
    Ends& ends = TheEnds();
    for (;;) {
        {
            std::unique_lock lock(ends.mutex);
            auto endOf = [&] {
                return std::find_if(ends.statuses.begin(), ends.statuses.end(),
                                    [&](const auto& end) { return end.first == pid; });
            };
            // A program seen to end is reaped at once: wait for its status rather than look for it again.
            if (ended && poll(std::array{pollfd{ended.Get(), POLLIN, 0}}.data(), 1, 0) > 0)
                ends.changed.wait_until(lock, deadline, [&] { return endOf() != ends.statuses.end(); });
            if (auto end = endOf(); end != ends.statuses.end())
                return StartOutcome{false, end->second};
        }
        if (std::filesystem::exists(EndpointPath(pid)))
            return StartOutcome{true, std::nullopt};
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return StartOutcome{};
        std::array watched{pollfd{created.Get(), POLLIN, 0}, pollfd{ended.Get(), POLLIN, 0}};
        auto wait = created && ended ? left : std::min(left, std::chrono::milliseconds(5));
        if (poll(watched.data(), watched.size(), static_cast<int>(wait.count()) + 1) > 0 && watched[0].revents) {
            char events[4096];
            while (read(created.Get(), events, sizeof events) > 0) {
            }
        }
    }
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
