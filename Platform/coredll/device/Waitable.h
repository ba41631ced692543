// Kernel objects a thread can wait for. All of them share one lock and one condition, so a wait for
// any of several objects is a plain condition wait; the process has few objects and fewer waiters.
#pragma once

#include "device/Handles.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <span>

namespace device {

class Waitable : public KernelObject {
public:
    // Both are called with SyncLock() held.
    virtual bool IsSignalled() const = 0;
    virtual void Consume() {} // what a satisfied wait does to the object (an auto-reset event resets)
};

std::mutex& SyncLock();

// Wakes every waiter to look again; call after signalling an object, with SyncLock() held or not.
void NotifySignalled();

// Waits until one of the objects is signalled: its index, consumed; -1 when the timeout (host
// milliseconds, INFINITE for none) passes first.
int WaitForAny(std::span<const std::shared_ptr<Waitable>> objects, DWORD milliseconds);

} // namespace device
