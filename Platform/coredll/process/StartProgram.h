// Starting a program on the device: a host process with the device's environment, its command line as one
// string (the entry shim hands it to WinMain verbatim), input from nowhere and output to the device's
// program log (run/programs.log), in a session of its own so it outlives whoever started it.
#pragma once

#include <windef.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace device {

// The new process is listed at once, so it counts as running before it joins by itself. Returns its pid;
// 0 with a Win32 error: ERROR_FILE_NOT_FOUND (no such file), ERROR_ACCESS_DENIED (not an executable file),
// ERROR_BAD_FORMAT (not a program the host can run), ERROR_BAD_LENGTH (the command line is too long for the
// host), ERROR_NO_PROC_SLOTS, ERROR_NOT_ENOUGH_MEMORY or ERROR_TOO_MANY_OPEN_FILES (the host cannot start
// another process now).
pid_t StartProgram(const std::filesystem::path& hostProgram, std::u16string_view commandLine, DWORD* error);

// How a program this process started fared: it joined the device (its endpoint is up), it ended first (with
// its wait status), or neither happened within the bound.
struct StartOutcome {
    bool joined = false;
    std::optional<int> endStatus;
};
StartOutcome AwaitJoin(pid_t pid, std::chrono::milliseconds bound);

// A program named as device code names it: a device path ("\Program Files\x\y.exe"), or the host path
// that GetModuleFileName reports for a program outside the device's file system ("/opt/x/y"); either may
// be enclosed in double quotes. Other names fail with ERROR_INVALID_NAME.
pid_t StartDeviceProgram(std::u16string_view program, std::u16string_view commandLine, DWORD* error);

// Splits an application text into the program and what follows it: "\"path\" arguments" at the closing
// quote; a text without a leading quote is all program, blanks and all.
void SplitApplication(std::u16string_view text, std::u16string* program, std::u16string* arguments);

} // namespace device
