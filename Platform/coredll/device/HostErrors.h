// The device's error codes for failed host file-system calls.
#pragma once

#include <windef.h>

#include <filesystem>

namespace device {

// errno of a call on hostPath as a Win32 error; a missing file is ERROR_FILE_NOT_FOUND when its folder
// exists and ERROR_PATH_NOT_FOUND when it does not, as the device reports them.
DWORD Win32ErrorFromErrno(int error, const std::filesystem::path& hostPath);

} // namespace device
