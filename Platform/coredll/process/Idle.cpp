#include "process/Idle.h"

#include "device/Database.h"
#include "process/ProcessTable.h"
#include "process/Remote.h"
#include "user/MessageQueue.h"
#include "user/Window.h"

#include <algorithm>
#include <thread>
#include <unistd.h>
#include <vector>

namespace device {

bool ThisProcessIsIdle()
{
    auto& table = WindowTable::Instance();
    std::vector<DWORD> threads;
    for (HWND hwnd : table.TopLevelWindows())
        if (auto window = table.Find(hwnd); window && std::find(threads.begin(), threads.end(), window->threadId) == threads.end())
            threads.push_back(window->threadId);
    return !threads.empty() && ThreadQueue::AllIdle(threads);
}

namespace {

// What is left until the deadline, and a moment at least, so that a process is always asked.
std::chrono::milliseconds Left(std::chrono::steady_clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return std::max(left, std::chrono::milliseconds(1));
}

} // namespace

bool WaitDeviceIdle(std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    // A program just started is usually idle within a few milliseconds: look again soon at first, then
    // every 10 ms so a long wait costs the busy processes little.
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        bool idle = true;
        try {
            for (const ProcessEntry& process : RunningProcesses())
                if (process.pid != getpid() && !RemoteIsIdle(process.pid, Left(deadline))) {
                    idle = false;
                    break;
                }
        } catch (const DatabaseError&) {
            return false;
        }
        if (idle)
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(10));
    }
}

} // namespace device
