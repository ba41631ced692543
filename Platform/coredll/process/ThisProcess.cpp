#include "process/ThisProcess.h"

#include "device/Clock.h"
#include "device/Database.h"
#include "device/Device.h"
#include "device/Modules.h"
#include "device/Text.h"
#include "process/Endpoint.h"
#include "process/EndpointPath.h"
#include "process/HostProcess.h"
#include "process/ProcessTable.h"
#include "user/Window.h"

#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <unistd.h>
#include <vector>

namespace device {

namespace {

struct Presence {
    std::mutex mutex;
    pid_t pid = 0; // the process that joined: a forked child sees its parent's here
    std::filesystem::path dir;
    std::unique_ptr<Endpoint> endpoint;
    bool leavesAtExit = false;
};

Presence& ThePresence()
{
    static Presence* presence = new Presence; // used by the exit handler, after static destructors began
    return *presence;
}

// The host's arguments joined as the entry shim joins them.
std::u16string HostCommandLine()
{
    std::ifstream file("/proc/self/cmdline");
    std::vector<std::string> arguments;
    for (std::string argument; std::getline(file, argument, '\0');)
        arguments.push_back(argument);
    std::string line;
    for (size_t i = 1; i < arguments.size(); ++i)
        line += (i > 1 ? " " : "") + arguments[i];
    return Utf16FromUtf8(line);
}

void Leave()
{
    Presence& presence = ThePresence();
    std::unique_ptr<Endpoint> endpoint;
    {
        std::lock_guard guard(presence.mutex);
        if (presence.pid != getpid())
            return;
        endpoint = std::move(presence.endpoint);
    }
    // Outside the lock: the requests it still serves may need this process's presence to finish.
    endpoint.reset();
    std::lock_guard guard(presence.mutex);
    try {
        if (Dir() == presence.dir)
            ForgetProcess(getpid());
    } catch (const DatabaseError&) {
    }
}

bool Join(const std::optional<std::u16string>& commandLine, std::string* why)
{
    Presence& presence = ThePresence();
    std::lock_guard guard(presence.mutex);
    try {
        Database& db = Db();
        std::filesystem::path dir = Dir();
        if (presence.pid == getpid() && presence.dir == dir && !commandLine)
            return true;
        if (presence.pid != getpid())
            presence.endpoint.release(); // a forked child: the listener thread is the parent's
        presence.endpoint.reset();

        ProcessEntry entry{getpid(), HostStartTime(getpid()), NowTicks(), ProgramPath().string(),
                           commandLine ? *commandLine : HostCommandLine()};
        Transaction tx(db);
        PutProcess(entry);
        presence.endpoint = Endpoint::Open(EndpointPath(entry.pid));
        if (!presence.endpoint) {
            if (why)
                *why = "cannot listen at " + EndpointPath(entry.pid).string();
            return false; // not listed: nobody could reach it
        }
        auto& table = WindowTable::Instance();
        for (HWND hwnd : table.TopLevelWindows()) {
            auto window = table.Find(hwnd);
            if (window && !window->destroying)
                PutWindow(WindowEntry{hwnd, entry.pid, window->threadId, window->cls->name, window->text,
                                      (window->style & WS_VISIBLE) != 0});
        }
        tx.Commit();
        presence.pid = entry.pid;
        presence.dir = dir;
    } catch (const DatabaseError& e) {
        if (why)
            *why = e.what();
        return false;
    }
    if (!presence.leavesAtExit) {
        presence.leavesAtExit = true;
        std::atexit(Leave);
    }
    return true;
}

} // namespace

bool JoinDevice(std::u16string_view commandLine, std::string* why) { return Join(std::u16string(commandLine), why); }

bool EnsureJoined() { return Join(std::nullopt, nullptr); }

namespace {
std::string JoinFailurePrefix(pid_t pid) { return "process " + std::to_string(pid) + " cannot join the device: "; }
} // namespace

std::string JoinFailureLine(pid_t pid, const std::string& why) { return JoinFailurePrefix(pid) + why + "\n"; }

std::string JoinFailureIn(const std::string& line, pid_t pid)
{
    std::string prefix = JoinFailurePrefix(pid);
    return line.rfind(prefix, 0) == 0 ? line.substr(prefix.size()) : std::string();
}

} // namespace device
