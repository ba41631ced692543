// Whether device processes have done all they can for now: every thread that owns a window waits for
// input with nothing queued. Tools wait for this before they look at or drive the device.
#pragma once

#include <chrono>

namespace device {

// Waits until every thread that owns a top-level window of this process, but the calling thread, waits for
// input with nothing to do, all of them at once; false when the deadline passes first (a deadline already
// past answers for now). A process without windows is still starting or about to end: `windowless` is the
// answer then.
bool AwaitThisProcessIdle(std::chrono::steady_clock::time_point deadline, bool windowless);

// Waits until every running device process but this one is idle; false when the time runs out first.
bool WaitDeviceIdle(std::chrono::milliseconds timeout);

} // namespace device
