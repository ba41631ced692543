// This process as a process of the device: listed with its program and command line, and reachable at its
// message endpoint. Device programs join at start (the entry shim); any other process that uses windows on
// a device (a test, a tool) joins when it makes its first top-level window. After Attach to another device,
// or in a forked child, the process joins anew. A process that ends normally leaves the list; the entry of
// one that was killed is forgotten by whoever meets it.
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

namespace device {

// Joins with this command line (as WinMain receives it). False when there is no usable device, or this
// process cannot listen at its endpoint; *why then says which.
bool JoinDevice(std::u16string_view commandLine, std::string* why = nullptr);

// The line a device program that cannot join the device leaves in the program log (run/programs.log), and
// the reason read back from such a line of that process (empty when the line is not one).
std::string JoinFailureLine(pid_t pid, const std::string& why);
std::string JoinFailureIn(const std::string& line, pid_t pid);

// Joins, if not yet joined to the current device, with the command line the host started it with.
bool EnsureJoined();

} // namespace device
