#include "process/HostProcess.h"

#include <cerrno>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <string>

namespace device {

int64_t HostStartTime(pid_t pid)
{
    if (pid <= 0 || (kill(pid, 0) != 0 && errno != EPERM))
        return 0;
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    if (!std::getline(file, stat))
        return 0;
    // The command name in parentheses may hold blanks and parentheses; the fields after it are plain.
    size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream fields(stat.substr(close + 1));
    std::string state, skipped;
    fields >> state;
    if (state == "Z" || state == "X")
        return 0;
    for (int field = 4; field < 22; ++field) // the start time is the 22nd field
        fields >> skipped;
    int64_t start = 0;
    fields >> start;
    return fields ? start : 0;
}

bool IsRunning(pid_t pid, int64_t hostStart) { return hostStart != 0 && HostStartTime(pid) == hostStart; }

} // namespace device
