#include "process/Endpoint.h"

#include "automation/Requests.h"
#include "notify/Callbacks.h"
#include "process/EndpointProtocol.h"
#include "process/Idle.h"
#include "process/Socket.h"
#include "user/MessageQueue.h"

#include <windows.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <vector>

namespace device {

namespace {

// How long the end of the endpoint waits for replies still being worked out.
constexpr auto kRepliesBound = std::chrono::seconds(2);

HWND WindowOf(const RequestHeader& request) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(request.target)); }

std::u16string TextOf(const std::vector<uint8_t>& payload)
{
    std::u16string text(payload.size() / sizeof(char16_t), u'\0');
    if (!text.empty())
        std::memcpy(text.data(), payload.data(), text.size() * sizeof(char16_t));
    return text;
}

Reply Carry(const RequestHeader& request, const std::vector<uint8_t>& payload, std::string* answer)
{
    Reply reply{0, 1, 0};
    HWND hwnd = WindowOf(request);
    switch (static_cast<RequestKind>(request.kind)) {
    case RequestKind::Post:
        if (!PostMessageW(hwnd, request.message, static_cast<WPARAM>(request.wParam), static_cast<LPARAM>(request.lParam)))
            reply = Reply{0, 0, GetLastError()};
        break;
    case RequestKind::Send:
        if (!IsWindow(hwnd))
            return Reply{0, 0, ERROR_INVALID_WINDOW_HANDLE};
        reply.result = SendMessageW(hwnd, request.message, static_cast<WPARAM>(request.wParam),
                                    static_cast<LPARAM>(request.lParam));
        break;
    case RequestKind::Activate:
        if (!IsWindow(hwnd))
            return Reply{0, 0, ERROR_INVALID_WINDOW_HANDLE};
        SetActiveWindow(hwnd);
        break;
    case RequestKind::Callback:
        if (!notify::RunCallback(static_cast<int64_t>(request.target), request.wParam ? nullptr : &payload))
            reply = Reply{0, 0, ERROR_NOT_FOUND};
        break;
    case RequestKind::Idle: reply.result = ThisProcessIsIdle() ? 1 : 0; break;
    case RequestKind::ClockMoved: ThreadQueue::WakeAll(); break;
    case RequestKind::Automation: {
        automation::Served served = automation::Serve(static_cast<automation::Request>(request.message),
                                                      request.wParam, TextOf(payload));
        *answer = std::move(served.text);
        if (!served.done)
            reply = Reply{0, 0, served.error};
        break;
    }
    default: reply = Reply{0, 0, ERROR_INVALID_PARAMETER};
    }
    return reply;
}

void Serve(UniqueFd connection)
{
    RequestHeader request;
    if (!ReceiveAll(connection.Get(), &request, sizeof request) || request.payloadSize > kMaxPayload)
        return;
    std::vector<uint8_t> payload(request.payloadSize);
    if (!payload.empty() && !ReceiveAll(connection.Get(), payload.data(), payload.size()))
        return;
    std::string answer;
    Reply reply = Carry(request, payload, &answer);
    if (answer.size() > kMaxAnswer) {
        reply = Reply{0, 0, ERROR_INSUFFICIENT_BUFFER};
        answer.clear();
    }
    reply.payloadSize = static_cast<uint32_t>(answer.size());
    if (SendAll(connection.Get(), &reply, sizeof reply) && reply.payloadSize)
        SendAll(connection.Get(), answer.data(), reply.payloadSize);
}

} // namespace

std::unique_ptr<Endpoint> Endpoint::Open(const std::filesystem::path& path)
{
    UniqueFd listener = ListenAt(path);
    if (!listener)
        return nullptr;
    return std::unique_ptr<Endpoint>(new Endpoint(path, std::move(listener)));
}

Endpoint::Endpoint(std::filesystem::path path, UniqueFd listener)
    : m_path(std::move(path)), m_listener(std::move(listener)), m_thread([this] { Listen(); })
{
}

Endpoint::~Endpoint()
{
    m_stopping = true;
    shutdown(m_listener.Get(), SHUT_RDWR); // wakes the listener out of accept
    m_thread.join();
    {
        std::unique_lock lock(m_inFlight->mutex);
        m_inFlight->finished.wait_for(lock, kRepliesBound, [this] { return m_inFlight->count == 0; });
    }
    std::error_code ignored;
    std::filesystem::remove(m_path, ignored);
}

void Endpoint::Listen()
{
    while (!m_stopping) {
        int fd = accept4(m_listener.Get(), nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (m_stopping || errno == EINVAL || errno == EBADF)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(10)); // out of descriptors for a moment
            continue;
        }
        // Each request gets a thread: a sent message may wait for its window's thread, which may itself be
        // waiting for a request to this process.
        {
            std::lock_guard guard(m_inFlight->mutex);
            ++m_inFlight->count;
        }
        std::thread([inFlight = m_inFlight, connection = UniqueFd(fd)]() mutable {
            Serve(std::move(connection));
            std::lock_guard guard(inFlight->mutex);
            if (--inFlight->count == 0)
                inFlight->finished.notify_all();
        }).detach();
    }
}

} // namespace device
