// Device paths ("\My Documents\x") and where they live on the host (the device's fs/ folder).
#pragma once

#include <windef.h>

#include <filesystem>
#include <optional>
#include <string>

namespace device {

// The host file for a device path; nullopt (with a Win32 error in *error) for a path that is not
// absolute, too long, or tries to climb out of the device's file system.
std::optional<std::filesystem::path> HostPath(LPCWSTR devicePath, DWORD* error);

// The device path of a host file inside the device's file system ("\Program Files\x\y.exe").
std::u16string DevicePath(const std::filesystem::path& hostPath);

} // namespace device
