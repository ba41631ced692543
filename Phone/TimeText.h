// Times and durations as the device tool reads and writes them.
#pragma once

#include <cstdint>
#include <string>

namespace phone {

// "YYYY-MM-DD HH:MM:SS", a valid local wall-clock time, as local FILETIME ticks; throws UsageError.
int64_t ParseLocalTime(const std::string& text);
std::string FormatLocalTime(int64_t localTicks);

// A length of time: a whole number of seconds, or counts of d, h, m and s in that order ("1h30m",
// "90s", "2d"); throws UsageError.
int64_t ParseDuration(const std::string& text);

// The device clock in local time.
int64_t DeviceLocalNow();
int64_t UtcFromLocal(int64_t localTicks);
int64_t LocalFromUtc(int64_t utcTicks);

} // namespace phone
