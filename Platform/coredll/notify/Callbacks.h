// The callbacks of this process's transient notifications (RegistryNotifyCallback), by notification id. A
// change written by another process reaches them through this process's endpoint.
#pragma once

#include <regext.h>

#include <cstdint>
#include <vector>

namespace device::notify {

void AddCallback(int64_t id, REGISTRYNOTIFYCALLBACK callback, DWORD userData);
void RemoveCallback(int64_t id);

// Calls the notification's callback with the new value (null: deleted); false when this process has no
// callback of that id.
bool RunCallback(int64_t id, const std::vector<uint8_t>* value);

} // namespace device::notify
