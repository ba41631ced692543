// Time services, all read from the device clock and converted with the device's time zone.
#include <windows.h>

#include "device/Calendar.h"
#include "device/Clock.h"
#include "device/Database.h"
#include "device/Device.h"

#include <time.h>

namespace {

// FILETIME holds an unsigned 64-bit count; the device accepts values up to 0x7FFFFFFFFFFFFFFF.
constexpr int64_t kMaxFileTime = 0x7FFFFFFFFFFFFFFFLL;

int64_t TicksOf(const FILETIME& ft)
{
    return static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}

void StoreTicks(int64_t ticks, FILETIME* ft)
{
    ft->dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) & 0xFFFFFFFFu);
    ft->dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32);
}

void TicksToSystemTime(int64_t ticks, SYSTEMTIME* st)
{
    int64_t sinceEpoch = ticks - device::kUnixEpochTicks;
    int64_t days = sinceEpoch / device::kTicksPerDay;
    int64_t rest = sinceEpoch % device::kTicksPerDay;
    if (rest < 0) {
        rest += device::kTicksPerDay;
        --days;
    }
    device::CivilDate date = device::CivilFromDays(days);
    st->wYear = static_cast<WORD>(date.year);
    st->wMonth = static_cast<WORD>(date.month);
    st->wDay = static_cast<WORD>(date.day);
    st->wDayOfWeek = static_cast<WORD>(device::DayOfWeek(days));
    int64_t ms = rest / device::kTicksPerMs;
    st->wHour = static_cast<WORD>(ms / 3600000);
    st->wMinute = static_cast<WORD>(ms / 60000 % 60);
    st->wSecond = static_cast<WORD>(ms / 1000 % 60);
    st->wMilliseconds = static_cast<WORD>(ms % 1000);
}

// The device clock; should the database be unreadable, the host's time is the best answer left.
int64_t DeviceNow()
{
    try {
        return device::NowTicks();
    } catch (const device::DatabaseError&) {
        return device::HostNowTicks();
    }
}

int64_t OffsetNow()
{
    try {
        return device::LocalOffsetAt(device::NowTicks());
    } catch (const device::DatabaseError&) {
        return 0;
    }
}

} // namespace

void WINAPI GetSystemTime(LPSYSTEMTIME lpSystemTime)
{
    if (lpSystemTime)
        TicksToSystemTime(DeviceNow(), lpSystemTime);
}

void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime)
{
    if (!lpSystemTime)
        return;
    int64_t now = DeviceNow();
    TicksToSystemTime(now + OffsetNow(), lpSystemTime);
}

BOOL WINAPI SystemTimeToFileTime(const SYSTEMTIME* st, LPFILETIME ft)
{
    if (!st || !ft) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // Day of week is ignored, as documented; every other field must name a real instant.
    if (st->wYear < 1601 || st->wYear > 30827 || st->wMonth < 1 || st->wMonth > 12 || st->wDay < 1 ||
        st->wDay > device::DaysInMonth(st->wYear, st->wMonth) || st->wHour > 23 || st->wMinute > 59 ||
        st->wSecond > 59 || st->wMilliseconds > 999) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int64_t days = device::DaysFromCivil(st->wYear, st->wMonth, st->wDay);
    int64_t ms = ((st->wHour * 60 + st->wMinute) * 60 + st->wSecond) * 1000LL + st->wMilliseconds;
    int64_t ticks = device::kUnixEpochTicks + days * device::kTicksPerDay + ms * device::kTicksPerMs;
    if (ticks < 0 || ticks > kMaxFileTime) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    StoreTicks(ticks, ft);
    return TRUE;
}

BOOL WINAPI FileTimeToSystemTime(const FILETIME* ft, LPSYSTEMTIME st)
{
    if (!ft || !st) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int64_t ticks = TicksOf(*ft);
    if (ticks < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    TicksToSystemTime(ticks, st);
    return TRUE;
}

// As documented, both directions use the bias in force now, not the one at the converted instant.
BOOL WINAPI FileTimeToLocalFileTime(const FILETIME* lpFileTime, LPFILETIME lpLocalFileTime)
{
    if (!lpFileTime || !lpLocalFileTime) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int64_t local = TicksOf(*lpFileTime) + OffsetNow();
    if (local < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    StoreTicks(local, lpLocalFileTime);
    return TRUE;
}

BOOL WINAPI LocalFileTimeToFileTime(const FILETIME* lpLocalFileTime, LPFILETIME lpFileTime)
{
    if (!lpLocalFileTime || !lpFileTime) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int64_t utc = TicksOf(*lpLocalFileTime) - OffsetNow();
    if (utc < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    StoreTicks(utc, lpFileTime);
    return TRUE;
}

LONG WINAPI CompareFileTime(const FILETIME* a, const FILETIME* b)
{
    uint64_t x = static_cast<uint64_t>(TicksOf(*a)), y = static_cast<uint64_t>(TicksOf(*b));
    return x < y ? -1 : x > y ? 1 : 0;
}

DWORD WINAPI GetTickCount(void)
{
    try {
        int64_t elapsed = device::NowTicks() - device::BootTicks();
        return static_cast<DWORD>(static_cast<uint64_t>(elapsed / device::kTicksPerMs));
    } catch (const device::DatabaseError&) {
        return static_cast<DWORD>(static_cast<uint64_t>(device::HostNowTicks() / device::kTicksPerMs));
    }
}

void WINAPI Sleep(DWORD dwMilliseconds)
{
    // On a manual clock the wait costs no wall time: the clock simply moves on.
    try {
        if (device::ReadClock().manual) {
            device::AdvanceClock(static_cast<int64_t>(dwMilliseconds) * device::kTicksPerMs);
            return;
        }
    } catch (const device::DatabaseError&) {
    }
    device::ReleaseReadSnapshot();
    struct timespec ts = {static_cast<time_t>(dwMilliseconds / 1000),
                          static_cast<long>(dwMilliseconds % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0) {
    }
}
