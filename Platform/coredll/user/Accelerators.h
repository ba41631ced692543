// Accelerator tables from ACCELERATORS resources.
#pragma once

#include <windows.h>

#include <cstddef>

namespace device {

// Reads the eight-byte entries (flags, key, command, padding) up to the one flagged last (0x80); null for
// a table cut short. `size` bounds the read.
HACCEL AcceleratorsFromResource(const void* data, size_t size);

} // namespace device
