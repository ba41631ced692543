#include "device/Handles.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace device {

namespace {

struct HandleTable {
    std::mutex mutex;
    std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> objects;
    uintptr_t next = 0x100; // multiples of four, as the device's handles are
};

// Never destroyed: threads may still close handles while the process exits.
HandleTable& Table()
{
    static HandleTable* table = new HandleTable;
    return *table;
}

} // namespace

HANDLE AddHandle(std::shared_ptr<KernelObject> object)
{
    HandleTable& table = Table();
    std::lock_guard guard(table.mutex);
    uintptr_t value = table.next;
    table.next += 4;
    table.objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> FindHandle(HANDLE handle)
{
    HandleTable& table = Table();
    std::lock_guard guard(table.mutex);
    auto found = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    return found == table.objects.end() ? nullptr : found->second;
}

bool RemoveHandle(HANDLE handle)
{
    std::shared_ptr<KernelObject> object; // released outside the lock: closing a file may take a while
    HandleTable& table = Table();
    std::lock_guard guard(table.mutex);
    auto found = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (found == table.objects.end()) return false;
    object = std::move(found->second);
    table.objects.erase(found);
    return true;
}

} // namespace device
