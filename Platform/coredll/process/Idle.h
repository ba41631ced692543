// Whether device processes have done all they can for now: every thread that owns a window waits for
// input with nothing queued. Tools wait for this before they look at or drive the device.
#pragma once

#include <chrono>

namespace device {

// A process without windows is still starting (or about to end), so it is not idle.
bool ThisProcessIsIdle();

// Waits until every running device process but this one is idle; false when the time runs out first.
bool WaitDeviceIdle(std::chrono::milliseconds timeout);

} // namespace device
