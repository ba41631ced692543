#include "device/Waitable.h"

#include "device/Device.h"

#include <windows.h>

#include <chrono>

namespace device {

namespace {

std::condition_variable& SyncChanged()
{
    static auto* changed = new std::condition_variable;
    return *changed;
}

} // namespace

std::mutex& SyncLock()
{
    static auto* lock = new std::mutex;
    return *lock;
}

void NotifySignalled()
{
    SyncChanged().notify_all();
}

int WaitForAny(std::span<const std::shared_ptr<Waitable>> objects, DWORD milliseconds)
{
    int satisfied = -1;
    auto takeFirstSignalled = [&] {
        for (size_t i = 0; i < objects.size(); ++i) {
            if (objects[i]->IsSignalled()) {
                objects[i]->Consume();
                satisfied = static_cast<int>(i);
                return true;
            }
        }
        return false;
    };
    std::unique_lock lock(SyncLock());
    if (takeFirstSignalled() || milliseconds == 0)
        return satisfied;
    ReleaseReadSnapshot();
    if (milliseconds == INFINITE)
        SyncChanged().wait(lock, takeFirstSignalled);
    else
        SyncChanged().wait_until(lock,
                                 std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds),
                                 takeFirstSignalled);
    return satisfied;
}

} // namespace device
