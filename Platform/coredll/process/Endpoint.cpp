#include "process/Endpoint.h"

#include "automation/Requests.h"
#include "notify/Callbacks.h"
#include "process/EndpointProtocol.h"
#include "process/Frames.h"
#include "process/Idle.h"
#include "process/Socket.h"
#include "user/MessageQueue.h"
#include "user/Window.h"

#include <windows.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <vector>

namespace device {

namespace {

using Clock = std::chrono::steady_clock;

// How long a connection has to deliver its whole frame, and a caller to take its reply.
constexpr auto kFrameBound = std::chrono::seconds(2);
constexpr auto kReplyBound = std::chrono::seconds(5);
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

// The window must still be there, and a platform control's own messages (which may carry pointers) stay in
// its process; a dialog's are its program's, as are those of the program's own classes.
DWORD CheckWindow(HWND hwnd, UINT msg)
{
    auto window = WindowTable::Instance().Find(hwnd);
    if (!window)
        return ERROR_INVALID_WINDOW_HANDLE;
    if (msg >= WM_USER && msg < WM_APP && window->cls->system && !window->isDialog)
        return ERROR_NOT_SUPPORTED;
    return ERROR_SUCCESS;
}

Reply Refused(DWORD error) { return Reply{0, 0, error}; }

// Carries out a request that passed CheckRequest.
Reply CarryOut(const RequestHeader& request, const std::vector<uint8_t>& payload, std::string* answer)
{
    Reply reply{0, 1, 0};
    HWND hwnd = WindowOf(request);
    auto kind = static_cast<RequestKind>(request.kind);
    if (kind == RequestKind::Post || kind == RequestKind::Send || kind == RequestKind::Activate)
        if (DWORD error = CheckWindow(hwnd, request.message))
            return Refused(error);
    switch (kind) {
    case RequestKind::Post:
        if (!PostMessageW(hwnd, request.message, static_cast<WPARAM>(request.wParam), static_cast<LPARAM>(request.lParam)))
            reply = Refused(GetLastError());
        break;
    case RequestKind::Send:
        reply.result = SendMessageW(hwnd, request.message, static_cast<WPARAM>(request.wParam),
                                    static_cast<LPARAM>(request.lParam));
        break;
    case RequestKind::Activate: SetActiveWindow(hwnd); break;
    case RequestKind::Callback:
        if (!notify::RunCallback(static_cast<int64_t>(request.target), request.wParam ? nullptr : &payload))
            reply = Refused(ERROR_NOT_FOUND);
        break;
    case RequestKind::Idle:
        reply.result = AwaitThisProcessIdle(Clock::now() + std::chrono::milliseconds(request.wParam), false);
        break;
    case RequestKind::ClockMoved: ThreadQueue::WakeAll(); break;
    case RequestKind::Automation: {
        automation::Served served = automation::Serve(static_cast<automation::Request>(request.message),
                                                      request.wParam, TextOf(payload));
        *answer = std::move(served.text);
        if (!served.done)
            reply = Refused(served.error);
        break;
    }
    default: reply = Refused(ERROR_INVALID_PARAMETER);
    }
    return reply;
}

// Best effort: a caller that does not take its reply in time is left without it.
void Answer(int fd, Reply reply, std::string answer = {})
{
    if (answer.size() > kMaxAnswer) {
        reply = Refused(ERROR_INSUFFICIENT_BUFFER);
        answer.clear();
    }
    reply.payloadSize = static_cast<uint32_t>(answer.size());
    if (SendAll(fd, &reply, sizeof reply) && reply.payloadSize)
        SendAll(fd, answer.data(), reply.payloadSize);
}

enum class Progress { Reading, Complete, Dropped };

// Reads what has arrived on the connection, without waiting for more.
Progress ReadArrived(int fd, FrameReader& frame)
{
    uint8_t chunk[4096];
    while (frame.Current() == FrameReader::Status::More) {
        ssize_t got = recv(fd, chunk, std::min(sizeof chunk, frame.Wanted()), MSG_DONTWAIT);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return Progress::Reading;
        if (got <= 0)
            return Progress::Dropped;
        frame.Take(chunk, static_cast<size_t>(got));
    }
    if (frame.Current() == FrameReader::Status::Invalid) {
        Answer(fd, Refused(frame.Error()));
        return Progress::Dropped;
    }
    return Progress::Complete;
}

int MillisecondsUntil(Clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<int64_t>(left + 1, 0, INT32_MAX));
}

} // namespace

struct Endpoint::Reading {
    UniqueFd connection;
    Clock::time_point deadline;
    FrameReader frame;
};

std::unique_ptr<Endpoint> Endpoint::Open(const std::filesystem::path& path)
{
    UniqueFd listener = ListenAt(path);
    UniqueFd wake(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!listener || !wake || fcntl(listener.Get(), F_SETFL, O_NONBLOCK) != 0)
        return nullptr;
    return std::unique_ptr<Endpoint>(new Endpoint(path, std::move(listener), std::move(wake)));
}

Endpoint::Endpoint(std::filesystem::path path, UniqueFd listener, UniqueFd wake)
    : m_path(std::move(path)), m_listener(std::move(listener)), m_wake(std::move(wake)), m_thread([this] { Listen(); })
{
}

Endpoint::~Endpoint()
{
    m_stopping = true;
    uint64_t one = 1;
    while (write(m_wake.Get(), &one, sizeof one) < 0 && errno == EINTR) {
    }
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
    std::deque<Reading> reading; // oldest first, so the first deadline is at the front
    std::vector<pollfd> polled;
    while (!m_stopping) {
        polled.assign({pollfd{m_wake.Get(), POLLIN, 0}, pollfd{m_listener.Get(), POLLIN, 0}});
        for (const Reading& r : reading)
            polled.push_back(pollfd{r.connection.Get(), POLLIN, 0});
        int timeout = reading.empty() ? -1 : MillisecondsUntil(reading.front().deadline);
        if (poll(polled.data(), polled.size(), timeout) < 0 && errno != EINTR)
            return;
        if (m_stopping)
            return;

        std::deque<Reading> still;
        for (size_t i = 0; i < reading.size(); ++i) {
            Progress progress =
                polled[i + 2].revents ? ReadArrived(reading[i].connection.Get(), reading[i].frame) : Progress::Reading;
            if (progress == Progress::Complete)
                Carry(std::move(reading[i]));
            else if (progress == Progress::Reading && reading[i].deadline > Clock::now())
                still.push_back(std::move(reading[i]));
        }
        reading = std::move(still);

        if (polled[1].revents)
            for (;;) {
                int fd = accept4(m_listener.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
                if (fd >= 0) {
                    if (reading.size() == kMaxReading)
                        reading.pop_front(); // the one that has had the longest to send its frame
                    reading.push_back(Reading{UniqueFd(fd), Clock::now() + kFrameBound, FrameReader()});
                    continue;
                }
                if (errno == EINTR || errno == ECONNABORTED)
                    continue;
                if ((errno == EMFILE || errno == ENFILE) && !reading.empty()) {
                    reading.pop_front(); // out of descriptors: make room for one that may be real
                    continue;
                }
                break;
            }
    }
}

void Endpoint::Carry(Reading&& reading)
{
    int fd = reading.connection.Get();
    {
        std::lock_guard guard(m_inFlight->mutex);
        if (m_inFlight->count >= kMaxCarrying) {
            Answer(fd, Refused(ERROR_BUSY));
            return;
        }
        ++m_inFlight->count;
    }
    // The reply is written by a thread that may wait, but never longer than the bound for a caller that has
    // stopped reading.
    timeval bound{std::chrono::duration_cast<std::chrono::seconds>(kReplyBound).count(), 0};
    fcntl(fd, F_SETFL, 0);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &bound, sizeof bound);
    // Each request gets a thread: a sent message may wait for its window's thread, which may itself be
    // waiting for a request to this process.
    std::thread([inFlight = m_inFlight, reading = std::move(reading)]() mutable {
        std::string answer;
        Reply reply = CarryOut(reading.frame.Header(), reading.frame.Payload(), &answer);
        Answer(reading.connection.Get(), reply, std::move(answer));
        reading.connection = UniqueFd();
        std::lock_guard guard(inFlight->mutex);
        if (--inFlight->count == 0)
            inFlight->finished.notify_all();
    }).detach();
}

} // namespace device
