// The process that shows the foreground window, asked through its endpoint to show or drive its screen.
#pragma once

#include "automation/Requests.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace phone {

// Waits (up to `settle`) until the device is idle, asks, and after input waits again so that what the input
// set off elsewhere has happened. The answer is UTF-8. Throws Failure when no window is on the screen, when
// its process does not answer, and with the reason the process gave when it refused.
std::string AskForeground(device::automation::Request request, uint64_t argument = 0, std::u16string_view text = {},
                          std::chrono::milliseconds settle = std::chrono::seconds(30));

} // namespace phone
