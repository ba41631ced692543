#include "process/HostProcess.h"

#include <cerrno>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <string>

namespace device {

namespace {

struct HostStat {
    char state = 0; // 0 when there is no such process
    int64_t start = 0;
};

HostStat ReadStat(pid_t pid)
{
    if (pid <= 0 || (kill(pid, 0) != 0 && errno != EPERM))
        return {};
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    if (!std::getline(file, stat))
        return {};
    // The command name in parentheses may hold blanks and parentheses; the fields after it are plain.
    size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return {};
    std::istringstream fields(stat.substr(close + 1));
    std::string state, skipped;
    fields >> state;
    for (int field = 4; field < 22; ++field) // the start time is the 22nd field
        fields >> skipped;
    int64_t start = 0;
    fields >> start;
    return fields && !state.empty() ? HostStat{state[0], start} : HostStat{};
}

} // namespace

int64_t HostStartTime(pid_t pid)
{
    HostStat stat = ReadStat(pid);
    return stat.state == 'Z' || stat.state == 'X' ? 0 : stat.start;
}

bool IsRunning(pid_t pid, int64_t hostStart) { return hostStart != 0 && HostStartTime(pid) == hostStart; }

bool IsStopped(pid_t pid)
{
    char state = ReadStat(pid).state;
    return state == 'T' || state == 't';
}

} // namespace device
