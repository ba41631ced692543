// A fresh device in a temporary directory, attached to this process for one test, with the manual clock.
// Whatever runs on it when the test ends is ended with it.
#pragma once

#include "device/Device.h"

#include <filesystem>
#include <string>

namespace testing_support {

struct DeviceOptions {
    device::Profile profile;
    // Local wall-clock start time of the manual clock, "YYYY-MM-DD HH:MM:SS".
    std::string start = "2008-06-15 09:30:00";
};

class TempDevice {
public:
    explicit TempDevice(const DeviceOptions& options = {});
    ~TempDevice();
    TempDevice(const TempDevice&) = delete;
    TempDevice& operator=(const TempDevice&) = delete;

    const std::filesystem::path& Dir() const { return m_dir; }

private:
    std::filesystem::path m_dir;
};

// FILETIME ticks of a wall-clock time "YYYY-MM-DD HH:MM:SS", read as if it were UTC.
int64_t CivilTicks(const std::string& text);

} // namespace testing_support
