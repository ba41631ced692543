// Run-at-time registrations (CeRunAppAtTime): one per application, at a local time, kept in the device
// database. When the device clock reaches it, the application starts with the command line "AppRunAtTime"
// and the registration is used up.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace device {

struct RunAtTimeEntry {
    std::u16string application;
    int64_t dueLocal = 0; // local FILETIME ticks
};

// All throw DatabaseError when the device database fails.

// Replaces the application's registration (an application is its program, named in any case, quoted or
// not).
void SetRunAtTime(std::u16string_view application, int64_t dueLocal);
// False when the application had none.
bool ClearRunAtTime(std::u16string_view application);
// Earliest first.
std::vector<RunAtTimeEntry> RunAtTimeEntries();

// UTC ticks of the first registration due strictly between the two UTC times; 0 when there is none.
int64_t NextRunAtTime(int64_t afterUtc, int64_t beforeUtc);

// Starts every application whose time has come by the device clock, earliest first, and returns the new
// processes. Each registration is claimed in the transaction that removes it, so it runs once even when
// several processes look at the same moment. An application that cannot be started is reported on stderr.
std::vector<pid_t> RunDue();

} // namespace device
