#include "registry/KeyHandles.h"

#include "registry/Store.h"

#include <mutex>
#include <unordered_map>

namespace device::registry {

namespace {

struct OpenedKey {
    int64_t key;
};

// Handles are numbers from a counter, never addresses, so a closed handle can never come back to name a
// key opened later. They stay far below the predefined roots.
constexpr uintptr_t kFirstHandle = 0x10000;
constexpr uintptr_t kHandleStep = 4;

std::mutex g_mutex;
std::unordered_map<uintptr_t, OpenedKey> g_open;
uintptr_t g_next = kFirstHandle;

} // namespace

HKEY NewHandle(int64_t key)
{
    std::lock_guard guard(g_mutex);
    uintptr_t handle = g_next;
    g_next += kHandleStep;
    g_open.emplace(handle, OpenedKey{key});
    return reinterpret_cast<HKEY>(handle);
}

bool KeyOf(HKEY handle, int64_t* key)
{
    if (handle == HKEY_CURRENT_USER) {
        *key = kCurrentUser;
        return true;
    }
    if (handle == HKEY_LOCAL_MACHINE) {
        *key = kLocalMachine;
        return true;
    }
    std::lock_guard guard(g_mutex);
    auto found = g_open.find(reinterpret_cast<uintptr_t>(handle));
    if (found == g_open.end())
        return false;
    *key = found->second.key;
    return true;
}

bool ReleaseHandle(HKEY handle)
{
    if (handle == HKEY_CURRENT_USER || handle == HKEY_LOCAL_MACHINE)
        return true;
    std::lock_guard guard(g_mutex);
    return g_open.erase(reinterpret_cast<uintptr_t>(handle)) == 1;
}

} // namespace device::registry
