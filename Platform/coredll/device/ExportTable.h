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

// The name of the function (C linkage) that gives a library's table. A function rather than a variable:
// every library defines the same name, which is harmless for functions looked up per library but would
// be one definition too many for a global.
inline constexpr char kExportTableSymbol[] = "DeviceLibraryExports";
using ExportTableFunction = const ExportTable* (*)();

} // namespace device
