// A new device: created, attached to, with the program installed from the build's device image.
#pragma once

#include "device/Device.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

namespace phone {

// Creates the device at dir and attaches to it; the clock starts at localStart (local ticks), else at the
// host's time. `fill` then puts what else the device should hold. On any failure nothing of the device
// remains and the failure goes on. Returns the number of files installed in \Program Files\Zelkova.
int CreateDevice(const std::filesystem::path& dir, const device::Profile& profile, bool manual,
                 std::optional<int64_t> localStart, const std::function<void()>& fill = {});

// Links the files of the build's device image ($PHONE_IMAGE, else the image folder beside the tool's own
// folder) into \Program Files\Zelkova of the attached device: every one, or only those not there yet. A
// program file without an extension gets the device's ".exe". Returns how many it linked.
int InstallImage(bool onlyMissing);

} // namespace phone
