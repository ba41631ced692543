// A process's endpoint under frames that no platform caller sends, connections that never finish theirs,
// and callers of processes that are stopped, slow to answer or gone.
#include "process/ProcessTesting.h"

#include "process/Endpoint.h"
#include "process/EndpointPath.h"
#include "process/EndpointProtocol.h"
#include "process/HostProcess.h"
#include "process/Idle.h"
#include "process/Remote.h"
#include "process/Socket.h"
#include "support/ChildProcess.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace process_testing;

namespace {

class Endpoints : public ProcessTest {};

uint64_t Handle(HWND hwnd) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(hwnd)); }

device::RequestHeader Frame(device::RequestKind kind, uint64_t target, UINT msg = 0, uint64_t wp = 0, int64_t lp = 0,
                            uint32_t payloadSize = 0)
{
    return device::RequestHeader{static_cast<uint32_t>(kind), msg, target, wp, lp, payloadSize, 0};
}

// Sends the header and the payload as they are, in one piece (a refused header may be answered before a
// payload sent after it arrives), and reads the reply; done 2 when no reply came.
device::Reply Exchange(pid_t pid, const device::RequestHeader& header, const std::string& payload = {})
{
    device::Reply reply{0, 2, 0};
    std::string frame(reinterpret_cast<const char*>(&header), sizeof header);
    frame += payload;
    device::UniqueFd connection = device::ConnectTo(device::EndpointPath(pid), std::chrono::seconds(10));
    if (!connection || !device::SendAll(connection.Get(), frame.data(), frame.size()) ||
        !device::ReceiveAll(connection.Get(), &reply, sizeof reply, [] { return true; }))
        return device::Reply{0, 2, 0};
    return reply;
}

int ThreadsOf(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("Threads:", 0) == 0)
            return std::stoi(line.substr(8));
    return 0;
}

bool ClosedByPeer(int fd)
{
    pollfd waited{fd, POLLIN, 0};
    char byte;
    return poll(&waited, 1, 0) == 1 && recv(fd, &byte, 1, MSG_DONTWAIT) == 0;
}

void ExpectRefused(const device::Reply& reply, DWORD error, const char* what)
{
    EXPECT_EQ(reply.done, 0u) << what;
    EXPECT_EQ(reply.error, error) << what;
}

} // namespace

TEST_F(Endpoints, FramesThatCarryPointersOrStrangersAreRefusedAndTheProgramLivesOn)
{
    pid_t pid = Start(u"serve");
    HWND window = WaitForWindow();
    using Kind = device::RequestKind;
    uint64_t own = Handle(window);
    uint64_t foreign = (static_cast<uint64_t>(getpid()) << 32) | (own & 0xFFFFFFFF);

    // Text parameters are addresses in the sender: they never reach a window procedure elsewhere.
    ExpectRefused(Exchange(pid, Frame(Kind::Send, own, WM_SETTEXT, 0, 0x10)), ERROR_NOT_SUPPORTED, "WM_SETTEXT");
    ExpectRefused(Exchange(pid, Frame(Kind::Send, own, WM_GETTEXT, 64, 0x10)), ERROR_NOT_SUPPORTED, "WM_GETTEXT");
    // A timer message would call its parameter as a function.
    ExpectRefused(Exchange(pid, Frame(Kind::Post, own, WM_TIMER, 1, 0x4141)), ERROR_NOT_SUPPORTED, "WM_TIMER");
    ExpectRefused(Exchange(pid, Frame(Kind::Send, foreign, kPosted, 1)), ERROR_INVALID_WINDOW_HANDLE, "other's");
    ExpectRefused(Exchange(pid, Frame(Kind::Post, 0, kPosted, 1)), ERROR_INVALID_WINDOW_HANDLE, "no window");
    ExpectRefused(Exchange(pid, Frame(static_cast<Kind>(99), own, kPosted)), ERROR_INVALID_PARAMETER, "kind");
    ExpectRefused(Exchange(pid, Frame(Kind::Post, own, kPosted, 1, 0, 4), "abcd"), ERROR_INVALID_PARAMETER,
                  "payload with a message");
    ExpectRefused(Exchange(pid, Frame(Kind::Automation, 0, 1, 0, 0, 0xFFFFFFFF)), ERROR_INVALID_PARAMETER,
                  "announces more than a frame holds");
    ExpectRefused(Exchange(pid, Frame(Kind::Automation, 0, 5, 0, 0, 3), "abc"), ERROR_INVALID_PARAMETER,
                  "half a character");
    ExpectRefused(Exchange(pid, Frame(Kind::Callback, 77, 0, 1, 0, 2), "xy"), ERROR_INVALID_PARAMETER,
                  "a deleted value with data");

    EXPECT_EQ(kill(pid, 0), 0);
    EXPECT_EQ(FindWindowW(kClass, kTitle), window);
    EXPECT_EQ(SendMessageW(window, RegisterWindowMessageW(kEchoMessage), 5, 1), 11);
    device::Reply posted = Exchange(pid, Frame(Kind::Post, own, kPosted, 31));
    EXPECT_EQ(posted.done, 1u);
    EXPECT_TRUE(Eventually([&] { return Recorded(u"LastPosted") == 31u; }));
}

TEST_F(Endpoints, ConnectionsThatNeverFinishTheirFrameAreDroppedWithoutHoldingThreads)
{
    pid_t pid = Start(u"serve");
    HWND window = WaitForWindow();
    constexpr int kStalled = 3 * device::Endpoint::kMaxReading;
    std::vector<device::UniqueFd> stalled;
    for (int i = 0; i < kStalled; ++i) {
        stalled.push_back(device::ConnectTo(device::EndpointPath(pid), std::chrono::seconds(10)));
        ASSERT_TRUE(stalled.back());
        ASSERT_TRUE(device::SendAll(stalled.back().Get(), "half a header", 13));
    }
    // A caller with a whole frame is served meanwhile.
    EXPECT_EQ(SendMessageW(window, RegisterWindowMessageW(kEchoMessage), 20, 2), 42);
    EXPECT_LE(ThreadsOf(pid), device::Endpoint::kMaxCarrying + 8);
    for (const device::UniqueFd& connection : stalled)
        EXPECT_TRUE(Eventually([&] { return ClosedByPeer(connection.Get()); }));
    EXPECT_EQ(SendMessageW(window, RegisterWindowMessageW(kEchoMessage), 1, 1), 3);
}

TEST_F(Endpoints, AnIdleQuestionIsAnsweredOnceTheProcessIsIdleAndNotBefore)
{
    pid_t pid = Start(u"serve");
    HWND window = WaitForWindow();
    ASSERT_TRUE(device::WaitDeviceIdle(std::chrono::seconds(30)));
    // A chain of posted messages, each a durable write: busy for a while, never idle in between.
    ASSERT_TRUE(PostMessageW(window, kChain, 100, 0));
    EXPECT_TRUE(device::RemoteIsIdle(pid, std::chrono::seconds(30)));
    EXPECT_EQ(Recorded(u"Chain"), 0u);
    // Busy for good: the answer comes within its bound, and says so.
    ASSERT_TRUE(PostMessageW(window, kBlock, 0, 0));
    ASSERT_TRUE(Eventually([&] { return Recorded(u"Blocking") == 1u; }));
    auto asked = std::chrono::steady_clock::now();
    EXPECT_FALSE(device::RemoteIsIdle(pid, std::chrono::milliseconds(300)));
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(5));
}

TEST_F(Endpoints, AStoppedProcessFailsItsCallersInsteadOfHangingThem)
{
    pid_t pid = Start(u"serve");
    HWND window = WaitForWindow();
    ASSERT_TRUE(device::WaitDeviceIdle(std::chrono::seconds(30))); // not stopped halfway through a write
    ASSERT_EQ(kill(pid, SIGSTOP), 0);
    ASSERT_TRUE(Eventually([&] { return device::IsStopped(pid); }));
    SetLastError(0);
    EXPECT_EQ(SendMessageW(window, RegisterWindowMessageW(kEchoMessage), 5, 1), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT));
    EXPECT_FALSE(device::RemoteIsIdle(pid));
    EXPECT_FALSE(device::WaitDeviceIdle(std::chrono::milliseconds(300)));
    kill(pid, SIGCONT);
    EXPECT_EQ(SendMessageW(window, RegisterWindowMessageW(kEchoMessage), 5, 1), 11);
}

TEST_F(Endpoints, AProcessThatTakesConnectionsButNeverAnswersFailsWithinTheBound)
{
    // A live process that is no device program, and a listener in its name that reads nothing.
    testing_support::ChildProcess stranger("/bin/cat", {});
    pid_t pid = stranger.Pid();
    device::UniqueFd listener = device::ListenAt(device::EndpointPath(pid));
    ASSERT_TRUE(listener);
    std::string answer;
    DWORD error = 0;
    EXPECT_FALSE(device::RemoteAutomation(pid, 1, 0, u"", std::chrono::milliseconds(300), &answer, &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_TIMEOUT));
    EXPECT_EQ(answer, "");
    EXPECT_FALSE(device::RemoteIsIdle(pid, std::chrono::milliseconds(300)));
    stranger.CloseInput();
}

TEST_F(Endpoints, TheSocketOfAKilledProcessGoesWithTheFirstCallerThatMeetsIt)
{
    pid_t pid = Start(u"serve");
    WaitForWindow();
    std::filesystem::path socket = device::EndpointPath(pid);
    ASSERT_TRUE(std::filesystem::exists(socket));
    kill(pid, SIGKILL);
    ASSERT_TRUE(Eventually([&] { return device::HostStartTime(pid) == 0; }));
    EXPECT_TRUE(std::filesystem::exists(socket)); // a killed process cannot clean up after itself
    EXPECT_FALSE(device::RemoteIsIdle(pid));
    EXPECT_FALSE(std::filesystem::exists(socket));
}
