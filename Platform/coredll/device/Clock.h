// The device clock: the one source of time. Manual (frozen, moved only on request) or real (host time
// plus an offset). Times are UTC FILETIME ticks (100 ns since 1 January 1601).
#pragma once

#include "ole/VariantDate.h"

#include <cstdint>
#include <stdexcept>

namespace device {

constexpr int64_t kTicksPerMs = 10000;
constexpr int64_t kTicksPerSecond = 10000000;

struct ClockState {
    bool manual;
    int64_t nowTicks;
};

int64_t HostNowTicks();
ClockState ReadClock();
int64_t NowTicks();
int64_t BootTicks();

// The clock holds the instants whose UTC and local readings both fall within the variant dates the device
// takes (1 January 1753 to 31 December 2078), which a FILETIME holds too.
constexpr int64_t kFirstClockTicks = kUnixEpochTicks + (kFirstVariantDay + kVariantEpoch) * kTicksPerDay;
constexpr int64_t kEndClockTicks = kUnixEpochTicks + (kLastVariantDay + 1 + kVariantEpoch) * kTicksPerDay;
bool ClockCanHold(int64_t utcTicks);

// What SetClock and AdvanceClock throw for an instant the clock cannot hold; the clock stays where it is.
struct ClockRangeError : std::out_of_range {
    ClockRangeError();
};

// Moves the clock (manual: to that instant; real: by shifting the offset). Returns the new time. Not to be
// called inside a transaction: what falls due on the way runs between the steps.
int64_t SetClock(int64_t utcTicks);
int64_t AdvanceClock(int64_t ticks);
void SetClockMode(bool manual);

// Called in this process after every change of the clock (set, advance, mode), so waits on it re-check.
void AddClockListener(void (*listener)());

// What falls due at device times (run-at-time registrations) follows the clock: a forward move stops at
// each such time in turn, and the follower hears of every move, so those things happen in order however
// far the clock jumps. Set once, by the layer that keeps them.
struct ClockFollower {
    int64_t (*nextDue)(int64_t afterTicks, int64_t upToTicks); // the first time in (after, upTo), else 0
    void (*reached)(int64_t nowTicks);
};
void SetClockFollower(ClockFollower follower);

// Offset of the device's local time from UTC at a UTC instant, in ticks (positive east of Greenwich).
int64_t LocalOffsetAt(int64_t utcTicks);
// The same for a local instant: the offset in force at that wall-clock time (the earlier reading when
// the wall clock repeats).
int64_t LocalOffsetAtLocal(int64_t localTicks);

} // namespace device
