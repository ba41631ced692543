// OLE Automation's conversions between variant dates, SYSTEMTIMEs and unpacked dates (UDATE).
#include <oleauto.h>

#include "ole/VariantDate.h"

namespace
{

bool IsValidTimeOfDay(const SYSTEMTIME& st)
{
    return st.wHour <= 23 && st.wMinute <= 59 && st.wSecond <= 59;
}

// Milliseconds are left out: a variant date resolves to the second.
int SecondOfDay(const SYSTEMTIME& st)
{
    return (st.wHour * 60 + st.wMinute) * 60 + st.wSecond;
}

} // namespace

INT WINAPI SystemTimeToVariantTime(LPSYSTEMTIME lpSystemTime, DOUBLE* pvtime)
{
    if (!lpSystemTime || !pvtime) return FALSE;
    const SYSTEMTIME& st = *lpSystemTime;
    if (st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1 ||
        st.wDay > device::DaysInMonth(st.wYear, st.wMonth) || !IsValidTimeOfDay(st))
        return FALSE;
    return device::PackVariantDate(device::VariantDay(st.wYear, st.wMonth, st.wDay), SecondOfDay(st), pvtime);
}

INT WINAPI VariantTimeToSystemTime(DOUBLE vtime, LPSYSTEMTIME lpSystemTime)
{
    UDATE unpacked;
    if (!lpSystemTime || !device::UnpackVariantDate(vtime, &unpacked)) return FALSE;
    *lpSystemTime = unpacked.st;
    return TRUE;
}

HRESULT WINAPI VarUdateFromDate(DATE dateIn, ULONG dwFlags, UDATE* pudateOut)
{
    // The flags choose alternative calendars, which the device's locales do not have.
    if (!pudateOut || (dwFlags & ~LOCALE_NOUSEROVERRIDE_VAR) != 0) return E_INVALIDARG;
    return device::UnpackVariantDate(dateIn, pudateOut) ? S_OK : E_INVALIDARG;
}

HRESULT WINAPI VarDateFromUdate(UDATE* pudateIn, ULONG dwFlags, DATE* pdateOut)
{
    if (!pudateIn || !pdateOut || (dwFlags & ~(VAR_VALIDDATE | LOCALE_NOUSEROVERRIDE_VAR)) != 0)
        return E_INVALIDARG;
    // As documented, only the day is mended (0 is the last day of the month before; past the end of the
    // month it runs into the next); a bad month, a day over 31 or a bad time is an error. The day of the
    // week and of the year are ignored.
    const SYSTEMTIME& st = pudateIn->st;
    if (st.wMonth < 1 || st.wMonth > 12 || st.wDay > 31 || !IsValidTimeOfDay(st)) return E_INVALIDARG;
    const int64_t day = device::VariantDay(st.wYear, st.wMonth, st.wDay);
    return device::PackVariantDate(day, SecondOfDay(st), pdateOut) ? S_OK : E_INVALIDARG;
}
