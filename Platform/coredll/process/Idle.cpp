#include "process/Idle.h"

#include "device/Database.h"
#include "process/ProcessTable.h"
#include "process/Remote.h"
#include "user/MessageQueue.h"
#include "user/Window.h"

#include <algorithm>
#include <set>
#include <thread>
#include <unistd.h>

namespace device {

namespace {

using Clock = std::chrono::steady_clock;

std::set<DWORD> WindowThreads()
{
    std::set<DWORD> threads;
    auto& table = WindowTable::Instance();
    for (HWND hwnd : table.TopLevelWindows())
        if (auto window = table.Find(hwnd))
            threads.insert(window->threadId);
    threads.erase(CurrentThreadId());
    return threads;
}

std::chrono::milliseconds Until(Clock::time_point deadline)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
}

} // namespace

bool AwaitThisProcessIdle(Clock::time_point deadline, bool windowless)
{
    for (;;) {
        std::set<DWORD> threads = WindowThreads();
        if (threads.empty())
            return windowless;
        // Every thread must be found idle in one pass: handling a message on one may wake another.
        bool allIdle = true;
        for (DWORD thread : threads) {
            auto queue = ThreadQueue::ForThread(thread);
            if (!queue || queue->IsIdle())
                continue;
            allIdle = false;
            std::chrono::milliseconds left = Until(deadline);
            if (left.count() <= 0)
                return false;
            queue->WaitIdle(static_cast<DWORD>(left.count()));
        }
        if (allIdle)
            return true;
    }
}

bool WaitDeviceIdle(std::chrono::milliseconds timeout)
{
    auto deadline = Clock::now() + timeout;
    for (;;) {
        // Each process answers as soon as it is idle, so nothing here polls a busy one.
        bool idle = true;
        try {
            for (const ProcessEntry& process : RunningProcesses())
                if (process.pid != getpid() &&
                    !RemoteIsIdle(process.pid, std::max(Until(deadline), std::chrono::milliseconds(1)))) {
                    idle = false;
                    break;
                }
        } catch (const DatabaseError&) {
            return false;
        }
        if (idle)
            return true;
        if (Clock::now() >= deadline)
            return false;
        // Still starting (no window yet) or ending: look again shortly.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace device
