#include <windows.h>

#include "device/Calendar.h"
#include "device/Clock.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

using testing_support::CivilTicks;
using testing_support::DeviceOptions;
using testing_support::TempDevice;

namespace {

DeviceOptions InZone(const char* zone, const char* start)
{
    DeviceOptions options;
    options.profile.timeZone = zone;
    options.start = start;
    return options;
}

int64_t Ticks(const FILETIME& ft) { return (int64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime; }

FILETIME FileTime(int64_t ticks) { return {DWORD(ticks & 0xFFFFFFFF), DWORD(ticks >> 32)}; }

} // namespace

TEST(DeviceClock, LocalTimeFollowsTheZoneAndSummerTime)
{
    TempDevice device(InZone("Europe/Berlin", "2008-06-15 09:30:00"));
    SYSTEMTIME local{}, utc{};
    GetLocalTime(&local);
    GetSystemTime(&utc);
    EXPECT_EQ(local.wYear, 2008);
    EXPECT_EQ(local.wMonth, 6);
    EXPECT_EQ(local.wDay, 15);
    EXPECT_EQ(local.wDayOfWeek, 0); // a Sunday
    EXPECT_EQ(local.wHour, 9);
    EXPECT_EQ(local.wMinute, 30);
    EXPECT_EQ(utc.wHour, 7); // CEST is two hours ahead

    device::SetClock(CivilTicks("2008-12-24 18:00:00"));
    GetLocalTime(&local);
    EXPECT_EQ(local.wHour, 19); // CET, one hour ahead
}

TEST(DeviceClock, ManualClockMovesOnlyWhenToldAndSleepCostsNoWallTime)
{
    TempDevice device;
    DWORD before = GetTickCount();
    SYSTEMTIME a{}, b{};
    GetSystemTime(&a);
    Sleep(5000);
    GetSystemTime(&b);
    EXPECT_EQ(GetTickCount() - before, 5000u);
    FILETIME fa, fb;
    ASSERT_TRUE(SystemTimeToFileTime(&a, &fa));
    ASSERT_TRUE(SystemTimeToFileTime(&b, &fb));
    EXPECT_EQ(Ticks(fb) - Ticks(fa), 5000 * device::kTicksPerMs);
    device::AdvanceClock(60 * device::kTicksPerSecond);
    EXPECT_EQ(GetTickCount() - before, 65000u);
}

TEST(DeviceClock, RealClockRunsFromItsOffset)
{
    TempDevice device;
    device::SetClockMode(false);
    SYSTEMTIME st{};
    GetLocalTime(&st);
    EXPECT_EQ(st.wYear, 2008); // the offset keeps the device's date, not the host's
    EXPECT_FALSE(device::ReadClock().manual);
}

TEST(FileTimes, ConvertBothWaysAndRejectImpossibleDates)
{
    SYSTEMTIME leap = {2008, 2, 0, 29, 23, 59, 59, 999};
    FILETIME ft;
    ASSERT_TRUE(SystemTimeToFileTime(&leap, &ft));
    SYSTEMTIME back{};
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &back));
    EXPECT_EQ(back.wDay, 29);
    EXPECT_EQ(back.wDayOfWeek, 5); // a Friday
    EXPECT_EQ(back.wMilliseconds, 999);

    SYSTEMTIME bad = {2007, 2, 0, 29, 0, 0, 0, 0};
    SetLastError(0);
    EXPECT_FALSE(SystemTimeToFileTime(&bad, &ft));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SYSTEMTIME hour24 = {2008, 1, 0, 1, 24, 0, 0, 0};
    EXPECT_FALSE(SystemTimeToFileTime(&hour24, &ft));
    SYSTEMTIME early = {1600, 12, 0, 31, 0, 0, 0, 0};
    EXPECT_FALSE(SystemTimeToFileTime(&early, &ft));

    SYSTEMTIME first = {1601, 1, 0, 1, 0, 0, 0, 0};
    ASSERT_TRUE(SystemTimeToFileTime(&first, &ft));
    EXPECT_EQ(Ticks(ft), 0);
}

TEST(FileTimes, LocalConversionUsesTheBiasInForceNow)
{
    // In summer, a winter instant still shifts by the summer bias, as the device documents.
    TempDevice device(InZone("America/New_York", "2008-07-01 12:00:00"));
    FILETIME winter = FileTime(CivilTicks("2008-01-10 12:00:00")), local, utc;
    ASSERT_TRUE(FileTimeToLocalFileTime(&winter, &local));
    EXPECT_EQ(Ticks(winter) - Ticks(local), 4 * 3600 * device::kTicksPerSecond);
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
    EXPECT_EQ(Ticks(utc), Ticks(winter));
}

TEST(FileTimes, RepeatedLocalHourTakesTheEarlierInstant)
{
    TempDevice device(InZone("Europe/London", "2008-10-26 01:30:00"));
    SYSTEMTIME utc{};
    GetSystemTime(&utc);
    EXPECT_EQ(utc.wHour, 0); // 01:30 BST, not 01:30 GMT
    EXPECT_EQ(utc.wMinute, 30);
}

TEST(DeviceClock, TimesTheDeviceCannotHoldAreRefusedAndTheClockStays)
{
    TempDevice device(InZone("Europe/Berlin", "2008-06-15 09:30:00"));
    int64_t before = device::NowTicks();
    EXPECT_THROW(device::AdvanceClock(INT64_MAX), device::ClockRangeError);
    EXPECT_THROW(device::AdvanceClock(INT64_MIN), device::ClockRangeError);
    EXPECT_THROW(device::SetClock(CivilTicks("2079-01-01 00:00:00")), device::ClockRangeError);
    // Within range in UTC, past it in local time (an hour ahead in winter).
    EXPECT_THROW(device::SetClock(CivilTicks("2078-12-31 23:30:00")), device::ClockRangeError);
    EXPECT_THROW(device::SetClock(CivilTicks("1752-12-31 23:59:59")), device::ClockRangeError);
    EXPECT_EQ(device::NowTicks(), before);

    EXPECT_EQ(device::SetClock(CivilTicks("2078-12-31 22:59:59")), CivilTicks("2078-12-31 22:59:59"));
    Sleep(5000); // a manual clock at its end moves no further, and Sleep still returns
    SYSTEMTIME local{};
    GetLocalTime(&local);
    EXPECT_EQ(local.wYear, 2078);
    EXPECT_EQ(local.wSecond, 59);
}
