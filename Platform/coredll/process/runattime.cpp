// Starting an application at a set time (CeRunAppAtTime).
#include <notify.h>

#include "device/Clock.h"
#include "device/Database.h"
#include "process/RunAtTime.h"

namespace {

int64_t TicksOf(const FILETIME& time)
{
    return static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

} // namespace

BOOL WINAPI CeRunAppAtTime(TCHAR* pwszAppName, SYSTEMTIME* lpTime)
{
    if (!pwszAppName || !*pwszAppName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FILETIME local;
    if (lpTime && !SystemTimeToFileTime(lpTime, &local))
        return FALSE; // its error is set
    try {
        if (!lpTime) {
            device::ClearRunAtTime(pwszAppName);
            return TRUE;
        }
        device::SetRunAtTime(pwszAppName, TicksOf(local));
        // A time that has come already is not skipped: the application runs at once.
        int64_t now = device::NowTicks();
        if (TicksOf(local) <= now + device::LocalOffsetAt(now))
            device::RunDue();
        return TRUE;
    } catch (const device::DatabaseError&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
}
