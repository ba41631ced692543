#include "process/DeviceTime.h"

#include "device/Clock.h"
#include "device/Database.h"
#include "process/Idle.h"
#include "process/ProcessTable.h"
#include "process/Remote.h"
#include "process/RunAtTime.h"
#include "registry/Store.h"

#include <windows.h>

#include <atomic>
#include <cstring>
#include <unistd.h>

namespace device {

namespace {

constexpr char16_t kTimeKey[] = u"HKLM\\System\\State\\DateTime";
constexpr char16_t kTimeValue[] = u"Time";
constexpr int64_t kTicksPerMinute = 60 * kTicksPerSecond;
constexpr auto kStartedProgramsBound = std::chrono::seconds(30);

std::atomic<bool> g_waitForStarted{false};

// The local time to the minute, written only when the minute changed, so that a notification on it means
// exactly that.
void UpdateTimeState(int64_t utcTicks)
{
    int64_t local = utcTicks + LocalOffsetAt(utcTicks);
    int64_t minute = local - ((local % kTicksPerMinute) + kTicksPerMinute) % kTicksPerMinute;
    uint8_t bytes[sizeof minute];
    std::memcpy(bytes, &minute, sizeof bytes); // a FILETIME: low doubleword first, as the device stores it
    int64_t key = 0;
    registry::Value stored;
    if (registry::OpenPath(kTimeKey, &key) == ERROR_SUCCESS &&
        registry::QueryValue(key, kTimeValue, &stored) == ERROR_SUCCESS && stored.type == REG_BINARY &&
        stored.data.size() == sizeof bytes && std::memcmp(stored.data.data(), bytes, sizeof bytes) == 0)
        return;
    if (registry::CreatePath(kTimeKey, &key) == ERROR_SUCCESS)
        registry::WriteValue(key, kTimeValue, REG_BINARY, bytes, sizeof bytes);
}

// The other device processes learn that the clock moved (this one's own timers hear of it directly).
void TellOtherProcesses()
{
    for (const ProcessEntry& process : RunningProcesses())
        if (process.pid != getpid())
            RemoteClockMoved(process.pid);
}

void Follow(int64_t utcTicks, bool moved)
{
    try {
        UpdateTimeState(utcTicks);
        bool started = !RunDue().empty();
        if (moved)
            TellOtherProcesses();
        if ((started || moved) && g_waitForStarted)
            WaitDeviceIdle(kStartedProgramsBound);
    } catch (const DatabaseError&) {
        // No device (or a failing one): nothing follows the clock.
    }
}

void Reached(int64_t utcTicks)
{
    Follow(utcTicks, true);
}

int64_t NextDue(int64_t afterTicks, int64_t upToTicks)
{
    try {
        return NextRunAtTime(afterTicks, upToTicks);
    } catch (const DatabaseError&) {
        return 0;
    }
}

[[maybe_unused]] const bool g_following = (SetClockFollower(ClockFollower{&NextDue, &Reached}), true);

} // namespace

void FollowClock()
{
    try {
        Follow(NowTicks(), false);
    } catch (const DatabaseError&) {
    }
}

void SetWaitForStartedPrograms(bool wait) { g_waitForStarted = wait; }

DeviceKeeper::DeviceKeeper(std::chrono::milliseconds period)
    : m_thread([this, period] {
          std::unique_lock lock(m_mutex);
          while (!m_stopping) {
              lock.unlock();
              try {
                  if (!ReadClock().manual) // a manual clock moves only when told, and follows then
                      FollowClock();
              } catch (const DatabaseError&) {
              }
              lock.lock();
              m_wake.wait_for(lock, period, [this] { return m_stopping; });
          }
      })
{
}

DeviceKeeper::~DeviceKeeper()
{
    {
        std::lock_guard guard(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

} // namespace device
