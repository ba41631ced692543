// TEMPORARY, to be deleted when the data-file modules (DataFile.h) are merged: until then no file can be
// opened as a data module, and no handle is one.
#include "device/DataFile.h"

#include <winerror.h>

namespace device {

HMODULE OpenDataFile(const std::filesystem::path&, DWORD* error)
{
    *error = ERROR_BAD_FORMAT;
    return nullptr;
}

bool ReleaseDataFile(HMODULE)
{
    return false;
}

} // namespace device
