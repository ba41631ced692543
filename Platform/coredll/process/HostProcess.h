// Host processes as the device sees them: running or not, and told apart from a later process that was given
// the same pid.
#pragma once

#include <cstdint>
#include <sys/types.h>

namespace device {

// When the host started the process (clock ticks after boot); 0 when there is no such process or it has
// ended (an ended child its parent has not yet waited for counts as ended).
int64_t HostStartTime(pid_t pid);

// True while the process that started at hostStart still runs under that pid.
bool IsRunning(pid_t pid, int64_t hostStart);

// True while the process is stopped (by a signal, or a debugger): it cannot answer anything.
bool IsStopped(pid_t pid);

} // namespace device
