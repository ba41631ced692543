#include "support/TempDevice.h"

#include "support/Eventually.h"

#include "device/Calendar.h"
#include "device/Clock.h"
#include "process/HostProcess.h"
#include "process/ProcessTable.h"

#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <stdexcept>
#include <unistd.h>

namespace testing_support {
namespace fs = std::filesystem;

int64_t CivilTicks(const std::string& text)
{
    int y, mo, d, h, mi, s;
    if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) != 6)
        throw std::invalid_argument("bad time: " + text);
    int64_t days = device::DaysFromCivil(y, mo, d);
    return device::kUnixEpochTicks + (days * 86400 + h * 3600 + mi * 60 + s) * device::kTicksPerSecond;
}

TempDevice::TempDevice(const DeviceOptions& options)
{
    char pattern[] = "/tmp/wm5-device-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    m_dir = fs::path(pattern) / "device";
    int64_t local = CivilTicks(options.start);
    device::Create(m_dir, options.profile, true, local);
    device::Attach(m_dir);
    // The start was given as local time: now that the zone is known, move the clock there.
    device::SetClock(local - device::LocalOffsetAtLocal(local));
}

TempDevice::~TempDevice()
{
    std::vector<device::ProcessEntry> running;
    try {
        running = device::RunningProcesses();
    } catch (const device::DatabaseError&) {
    }
    std::erase_if(running, [](const device::ProcessEntry& process) { return process.pid == getpid(); });
    for (const device::ProcessEntry& process : running)
        kill(process.pid, SIGKILL);
    for (const device::ProcessEntry& process : running)
        Eventually([&] { return !device::IsRunning(process.pid, process.hostStart); });
    std::error_code ignored;
    fs::remove_all(m_dir.parent_path(), ignored);
}

} // namespace testing_support
