#include "process/Remote.h"

#include "process/EndpointPath.h"
#include "process/EndpointProtocol.h"
#include "process/HostProcess.h"
#include "process/Socket.h"
#include "user/MessageQueue.h"

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace device {

namespace {

using Clock = std::chrono::steady_clock;

uint64_t HandleValue(HWND hwnd) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(hwnd)); }

// A socket left by a process that ended without removing it (it was killed). One that a new process under
// the same number has just made in its place stays.
void RemoveStale(pid_t pid, const std::filesystem::path& path)
{
    struct stat before, now;
    if (lstat(path.c_str(), &before) != 0 || !S_ISSOCK(before.st_mode) || HostStartTime(pid) != 0)
        return;
    if (lstat(path.c_str(), &now) == 0 && now.st_ino == before.st_ino && now.st_dev == before.st_dev)
        unlink(path.c_str());
}

// How long the other process is given: until the deadline, or (without one) for as long as it runs. A
// stopped process is not waited for either way.
struct Patience {
    pid_t pid;
    std::optional<Clock::time_point> deadline;
    bool timedOut = false;

    bool operator()()
    {
        timedOut = (deadline && Clock::now() >= *deadline) || IsStopped(pid);
        return !timedOut;
    }
};

// One request and its reply, with the reply's payload in *answer when asked for. A process that never
// answers (it ended) gives done = 0.
Reply Call(pid_t pid, const RequestHeader& request, std::optional<std::chrono::milliseconds> bound,
           const std::vector<uint8_t>& payload = {}, std::string* answer = nullptr)
{
    const Reply gone{0, 0, ERROR_INVALID_WINDOW_HANDLE}, late{0, 0, ERROR_TIMEOUT};
    Patience patience{pid, bound ? std::optional(Clock::now() + *bound) : std::nullopt};
    std::filesystem::path path = EndpointPath(pid);
    bool refused = false;
    UniqueFd connection = ConnectTo(path, bound.value_or(kRemoteBound), &refused);
    if (!connection) {
        if (refused)
            RemoveStale(pid, path);
        return refused || !std::filesystem::exists(path) ? gone : late;
    }
    // A process being killed may still take the connection before its threads are all gone, and then hang up.
    auto ended = [&] {
        if (patience.timedOut)
            return late;
        RemoveStale(pid, path);
        return gone;
    };
    if (!SendAll(connection.Get(), &request, sizeof request) ||
        (!payload.empty() && !SendAll(connection.Get(), payload.data(), payload.size())))
        return ended();
    Reply reply;
    if (!ReceiveAll(connection.Get(), &reply, sizeof reply, std::ref(patience)) || reply.payloadSize > kMaxAnswer)
        return ended();
    std::string text(reply.payloadSize, '\0');
    if (!text.empty() && !ReceiveAll(connection.Get(), text.data(), text.size(), std::ref(patience)))
        return ended();
    if (answer)
        *answer = std::move(text);
    return reply;
}

RequestHeader Request(RequestKind kind, uint64_t target, UINT msg = 0, WPARAM wp = 0, LPARAM lp = 0,
                      uint32_t payloadSize = 0)
{
    return RequestHeader{static_cast<uint32_t>(kind), msg, target, static_cast<uint64_t>(wp),
                         static_cast<int64_t>(lp), payloadSize, 0};
}

bool Done(const Reply& reply, DWORD* error)
{
    if (!reply.done && error)
        *error = reply.error;
    return reply.done != 0;
}

} // namespace

bool RemotePost(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD* error)
{
    return Done(Call(ProcessOfWindow(hwnd), Request(RequestKind::Post, HandleValue(hwnd), msg, wp, lp), kRemoteBound),
                error);
}

LRESULT RemoteSend(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD* error)
{
    Reply reply{};
    ThreadQueue::Current().WaitFor([&] {
        reply = Call(ProcessOfWindow(hwnd), Request(RequestKind::Send, HandleValue(hwnd), msg, wp, lp), std::nullopt);
        return LRESULT(0);
    });
    return Done(reply, error) ? static_cast<LRESULT>(reply.result) : 0;
}

bool RemoteActivate(HWND hwnd, DWORD* error)
{
    return Done(Call(ProcessOfWindow(hwnd), Request(RequestKind::Activate, HandleValue(hwnd)), kRemoteBound), error);
}

bool RemoteCallback(pid_t pid, int64_t watch, const std::vector<uint8_t>* value, DWORD* error)
{
    std::vector<uint8_t> data = value ? *value : std::vector<uint8_t>();
    auto request = Request(RequestKind::Callback, static_cast<uint64_t>(watch), 0, value ? 0 : 1, 0,
                           static_cast<uint32_t>(data.size()));
    return Done(Call(pid, request, kRemoteBound, data), error);
}

bool RemoteIsIdle(pid_t pid, std::chrono::milliseconds bound)
{
    // The process keeps back a little of the bound to answer in.
    auto wait = std::min<std::chrono::milliseconds>(bound - std::min(bound / 4, std::chrono::milliseconds(100)),
                                                    std::chrono::milliseconds(kMaxIdleWaitMs));
    Reply reply = Call(pid, Request(RequestKind::Idle, 0, 0, static_cast<WPARAM>(wait.count())), bound);
    return reply.done && reply.result != 0;
}

bool RemoteClockMoved(pid_t pid)
{
    return Call(pid, Request(RequestKind::ClockMoved, 0), kRemoteBound).done != 0;
}

bool RemoteAutomation(pid_t pid, uint32_t request, uint64_t argument, std::u16string_view text,
                      std::chrono::milliseconds bound, std::string* answer, DWORD* error)
{
    answer->clear();
    if (text.size() * sizeof(char16_t) > kMaxPayload) {
        *answer = "the text is longer than " + std::to_string(kMaxPayload / sizeof(char16_t)) + " characters";
        *error = ERROR_INVALID_PARAMETER;
        return false;
    }
    std::vector<uint8_t> payload(text.size() * sizeof(char16_t));
    if (!payload.empty())
        std::memcpy(payload.data(), text.data(), payload.size());
    auto header = Request(RequestKind::Automation, 0, request, static_cast<WPARAM>(argument), 0,
                          static_cast<uint32_t>(payload.size()));
    return Done(Call(pid, header, bound, payload, answer), error);
}

} // namespace device
