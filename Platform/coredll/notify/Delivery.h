// Telling those who watch a registry value that it changed: called by the registry store after every write
// that changed a value and every deletion, in the writing process, whichever process that is.
#pragma once

#include "registry/Store.h"

#include <cstdint>
#include <string_view>

namespace device::notify {

// `value` is the new value, null when it was deleted. Never fails the write: a notification that cannot be
// delivered is dropped (and a transient one whose window or process is gone is removed).
void ValueChanged(int64_t key, std::u16string_view name, const registry::Value* value);

} // namespace device::notify
