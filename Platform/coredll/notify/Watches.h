// The registry notifications in force, in the device database: persistent ones (a program to start or a
// window to tell, by name) and transient ones (a window or a callback of a running process, by handle).
#pragma once

#include "notify/Condition.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace device::notify {

// A value by the case-folded path of its key (which need not exist) and its case-folded name.
struct WatchedValue {
    std::string keyPath;
    std::string valueName;
};

// The value named by a key handle (an open key or a root), a subkey path below it (null: none) and a
// value name (null: the default value). A Win32 error for a bad handle or path.
LONG WatchedValueOf(HKEY key, LPCWSTR subKey, LPCWSTR valueName, WatchedValue* out);

enum class WatchKind { Program = 0, Window = 1, Callback = 2 };

struct Watch {
    int64_t id = 0;
    WatchKind kind = WatchKind::Program;
    Condition condition;
    UINT message = 0;
    // Persistent ones.
    std::u16string name;
    std::u16string program;
    std::optional<std::u16string> windowClass;
    std::optional<std::u16string> windowTitle;
    DWORD flags = 0;
    // Transient ones.
    pid_t ownerPid = 0;
    HWND hwnd = nullptr;
    DWORD userData = 0;
};

// All throw DatabaseError when the device database fails.

// False when a persistent notification of that name exists (names compare exactly).
bool AddPersistent(const WatchedValue& value, const Watch& watch);
bool RemovePersistent(const std::u16string& name);
// The new notification's id, which is its handle.
int64_t AddTransient(const WatchedValue& value, const Watch& watch);
// Only the process that made a transient notification removes it; false when it has none of that id.
bool RemoveTransient(int64_t id);
void RemoveWatch(int64_t id);

bool AnyWatchOn(const std::string& valueName);
std::vector<Watch> WatchesOn(const WatchedValue& value);

} // namespace device::notify
