// Where a device process listens for messages from the others: a socket in the device's run/ folder.
#pragma once

#include "device/Device.h"

#include <filesystem>
#include <string>
#include <sys/types.h>

namespace device {

inline std::filesystem::path EndpointPath(pid_t pid) { return RunDir() / (std::to_string(pid) + ".sock"); }

} // namespace device
