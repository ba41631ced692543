#include "process/Remote.h"

#include "process/EndpointPath.h"
#include "process/EndpointProtocol.h"
#include "process/Socket.h"
#include "user/MessageQueue.h"

namespace device {

namespace {

uint64_t HandleValue(HWND hwnd) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(hwnd)); }

// One request and its reply. A process that never answers (it ended) gives done = 0.
Reply Call(pid_t pid, const RequestHeader& request, const std::vector<uint8_t>& payload = {})
{
    Reply failed{0, 0, ERROR_INVALID_WINDOW_HANDLE};
    UniqueFd connection = ConnectTo(EndpointPath(pid));
    if (!connection)
        return failed;
    if (!SendAll(connection.Get(), &request, sizeof request) ||
        (!payload.empty() && !SendAll(connection.Get(), payload.data(), payload.size())))
        return failed;
    Reply reply;
    return ReceiveAll(connection.Get(), &reply, sizeof reply) ? reply : failed;
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

pid_t ProcessOfWindow(HWND hwnd) { return static_cast<pid_t>(HandleValue(hwnd) >> 32); }

bool RemotePost(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD* error)
{
    return Done(Call(ProcessOfWindow(hwnd), Request(RequestKind::Post, HandleValue(hwnd), msg, wp, lp)), error);
}

LRESULT RemoteSend(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD* error)
{
    Reply reply{};
    ThreadQueue::Current().WaitFor([&] {
        reply = Call(ProcessOfWindow(hwnd), Request(RequestKind::Send, HandleValue(hwnd), msg, wp, lp));
        return LRESULT(0);
    });
    return Done(reply, error) ? static_cast<LRESULT>(reply.result) : 0;
}

bool RemoteActivate(HWND hwnd, DWORD* error)
{
    return Done(Call(ProcessOfWindow(hwnd), Request(RequestKind::Activate, HandleValue(hwnd))), error);
}

bool RemoteCallback(pid_t pid, int64_t watch, const std::vector<uint8_t>* value, DWORD* error)
{
    std::vector<uint8_t> data = value ? *value : std::vector<uint8_t>();
    auto request = Request(RequestKind::Callback, static_cast<uint64_t>(watch), 0, value ? 0 : 1, 0,
                           static_cast<uint32_t>(data.size()));
    return Done(Call(pid, request, data), error);
}

bool RemoteIsIdle(pid_t pid)
{
    Reply reply = Call(pid, Request(RequestKind::Idle, 0));
    return reply.done && reply.result != 0;
}

} // namespace device
