// Device paths ("\My Documents\x") and where they live on the host (the device's fs/ folder).
#pragma once

#include <windef.h>

#include <filesystem>
#include <optional>
#include <string>

namespace device {

// The host file for a device path. The device's file system ignores case: each component that exists on
// the host is found whatever its case, new components keep the case given. Both \ and / separate
// components; "." and ".." are resolved within the path.
// nullopt with a Win32 error in *error:
//   ERROR_INVALID_PARAMETER     no path at all
//   ERROR_PATH_NOT_FOUND        an empty path, or ".." climbing above "\"
//   ERROR_INVALID_NAME          a relative path (the device has no current folder), a drive or network
//                               name, a wildcard or other character not allowed in a file name
//   ERROR_FILENAME_EXCED_RANGE  MAX_PATH characters or more, or a component too long for the host
std::optional<std::filesystem::path> HostPath(LPCWSTR devicePath, DWORD* error);

// The entry of a host folder that a device file name denotes, whatever its case; nullopt when the folder
// holds no such entry.
std::optional<std::filesystem::path> FindInFolder(const std::filesystem::path& folder,
                                                  std::u16string_view name);

// The device path of a host file inside the device's file system ("\Program Files\x\y.exe"); empty when
// the file lies outside it.
std::u16string DevicePath(const std::filesystem::path& hostPath);

} // namespace device
