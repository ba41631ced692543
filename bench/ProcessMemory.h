// The memory of the benchmark's own process, as Linux reports it.
#pragma once

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace process_memory {

// Kilobytes of memory in use now (field "VmRSS:") or at most so far ("VmHWM:"); -1 when not reported.
inline long Kb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field) + 1);
    return -1;
}

} // namespace process_memory
