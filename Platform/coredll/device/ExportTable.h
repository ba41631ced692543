// The export table of a device library: the EXPORTS of its module-definition (.def) file, generated at
// build time (cmake/DeviceLibrary.cmake). It is the one symbol such a library makes visible, so exports
// marked NONAME can be reached by ordinal only, as on the device.
#pragma once

#include <cstdint>

namespace device {

struct ExportEntry {
    uint16_t ordinal;
    const char* name; // null for an export by ordinal only
    const void* address;
};

struct ExportTable {
    uint32_t count;
    const ExportEntry* entries;
};

// The name under which a library carries its table (C linkage).
inline constexpr char kExportTableSymbol[] = "DeviceLibraryExports";

} // namespace device
