// Variant dates: days since 30 December 1899, the fraction the time of day. The device takes 1 January
// 1753 to 31 December 2078 and resolves them to the second.
#pragma once

#include <oleauto.h>

#include "device/Calendar.h"

#include <cstdint>

namespace device
{

constexpr int64_t kVariantEpoch = DaysFromCivil(1899, 12, 30); // in days since 1970
constexpr int64_t kFirstVariantDay = DaysFromCivil(1753, 1, 1) - kVariantEpoch;
constexpr int64_t kLastVariantDay = DaysFromCivil(2078, 12, 31) - kVariantEpoch;
constexpr int kSecondsPerDay = 86400;

// Days since 30 December 1899 of a civil date; a day past the end of its month runs into the next one
// and day 0 is the last of the month before.
constexpr int64_t VariantDay(int64_t year, int month, int day)
{
    return DaysFromCivil(year, month, 1) + day - 1 - kVariantEpoch;
}

// The variant date of a day and a second of that day, or false when the day is out of the device's
// range. The whole number counts days (backward before 1899), the fraction always runs forward.
bool PackVariantDate(int64_t day, int secondOfDay, DATE* date);

// The civil time a variant date names, rounded to the nearest second (milliseconds 0), with the day of
// the week and of the year; false outside the device's range.
bool UnpackVariantDate(DATE date, UDATE* out);

} // namespace device
