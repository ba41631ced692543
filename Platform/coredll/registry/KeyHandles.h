// HKEYs as device code sees them: the two hive roots, which need no opening, and the handles of keys this
// process opened.
#pragma once

#include <windef.h>

#include <cstdint>

namespace device::registry {

HKEY NewHandle(int64_t key);

// The key behind a handle; false for a closed handle, an unsupported root or anything else that is not a
// key handle, so a stale or garbage HKEY is reported rather than followed.
bool KeyOf(HKEY handle, int64_t* key);

// False when the handle was not open. Closing a root does nothing.
bool ReleaseHandle(HKEY handle);

} // namespace device::registry
