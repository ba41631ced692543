#include "notify/Callbacks.h"

#include <map>
#include <mutex>

namespace device::notify {

namespace {

struct Registered {
    REGISTRYNOTIFYCALLBACK callback;
    DWORD userData;
};

std::mutex g_mutex;
std::map<int64_t, Registered>& Table()
{
    static auto* table = new std::map<int64_t, Registered>; // endpoint threads may run at exit
    return *table;
}

} // namespace

void AddCallback(int64_t id, REGISTRYNOTIFYCALLBACK callback, DWORD userData)
{
    std::lock_guard guard(g_mutex);
    Table()[id] = Registered{callback, userData};
}

void RemoveCallback(int64_t id)
{
    std::lock_guard guard(g_mutex);
    Table().erase(id);
}

bool RunCallback(int64_t id, const std::vector<uint8_t>* value)
{
    Registered registered;
    {
        std::lock_guard guard(g_mutex);
        auto it = Table().find(id);
        if (it == Table().end())
            return false;
        registered = it->second;
    }
    // Called without the lock: the callback may close its own notification.
    registered.callback(reinterpret_cast<HREGNOTIFY>(static_cast<uintptr_t>(id)), registered.userData,
                        value ? const_cast<PBYTE>(value->data()) : nullptr,
                        value ? static_cast<UINT>(value->size()) : 0);
    return true;
}

} // namespace device::notify
