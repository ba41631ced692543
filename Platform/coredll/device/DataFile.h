// Libraries loaded as data files (LOAD_LIBRARY_AS_DATAFILE): a PE file whose .rsrc section is read.
#pragma once

#include <windef.h>

#include <cstdint>
#include <filesystem>
#include <span>

namespace device {

// Opens (or shares an open copy of) a PE file as a data module. Null with a Win32 error in *error when
// the file is missing or not a PE image.
HMODULE OpenDataFile(const std::filesystem::path& hostPath, DWORD* error);

// Drops one reference; false when the handle is not a data module.
bool ReleaseDataFile(HMODULE module);

bool IsDataFile(HMODULE module);

// The resource directory of a module's PE image, or null when it has none. The program's own module reads
// the resource-only file beside the program named like it with the extension ".rsrc".
class PeResources;
const PeResources* ResourcesOf(HMODULE module);

} // namespace device
