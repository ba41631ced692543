// Copying names and data into buffers that device code owns, with the device's size protocol.
#pragma once

#include <windef.h>

#include <cstdint>
#include <string>
#include <vector>

namespace device::registry {

// A name into a buffer of *chars characters (terminator included). On success *chars becomes the length
// without the terminator; ERROR_MORE_DATA when it does not fit, leaving buffer and count alone.
LONG CopyName(const std::u16string& name, WCHAR* buffer, DWORD* chars);

// Data into a buffer of *bytes bytes. *bytes becomes the data's size, also when the buffer is too small
// (ERROR_MORE_DATA) or absent (a size query).
LONG CopyData(const std::vector<uint8_t>& data, BYTE* buffer, DWORD* bytes);

} // namespace device::registry
