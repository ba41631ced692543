// What follows the device clock: run-at-time registrations fire when it reaches them, the other device
// processes are told when it is moved so that their timers that fell due fire, and each change of the
// device minute is written to the state value HKLM\System\State\DateTime "Time" (the local time, to the
// minute, as an 8-byte FILETIME), so that notifications on it fire. A moved clock does this by itself (see
// SetClockFollower); a real clock, whose time passes without anyone moving it, needs a DeviceKeeper.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace device {

// One round of following the clock at its present time.
void FollowClock();

// For tools that drive the clock: after each step the device processes, also those that run-at-time
// registrations start, are waited for (until the device is idle again, or a bound passes) before the clock
// moves on, so what falls due happens in order and the next registrations they make are in place.
void SetWaitForStartedPrograms(bool wait);

// Keeps a real clock followed while it lives (phone's front ends): a round every period.
class DeviceKeeper {
public:
    explicit DeviceKeeper(std::chrono::milliseconds period = std::chrono::milliseconds(500));
    ~DeviceKeeper();
    DeviceKeeper(const DeviceKeeper&) = delete;
    DeviceKeeper& operator=(const DeviceKeeper&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace device
