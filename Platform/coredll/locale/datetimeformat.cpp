// GetDateFormatW and GetTimeFormatW: a SYSTEMTIME through a Windows-style picture.
#include <windows.h>

#include "device/Calendar.h"
#include "locale/CopyOut.h"
#include "locale/LocaleData.h"
#include "locale/Picture.h"

namespace
{

bool IsValidDate(const SYSTEMTIME& st)
{
    return st.wYear >= 1601 && st.wYear <= 30827 && st.wMonth >= 1 && st.wMonth <= 12 && st.wDay >= 1 &&
           st.wDay <= device::DaysInMonth(st.wYear, st.wMonth);
}

bool IsValidTime(const SYSTEMTIME& st)
{
    return st.wHour <= 23 && st.wMinute <= 59 && st.wSecond <= 59 && st.wMilliseconds <= 999;
}

// The checks every formatting call starts with; the locale on success.
const device::LocaleData* BeginFormat(LCID lcid, LPWSTR buffer, int cch)
{
    if (!device::IsOutputValid(buffer, cch)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const device::LocaleData* locale = device::LocaleFor(lcid);
    if (!locale) SetLastError(ERROR_INVALID_PARAMETER);
    return locale;
}

// As documented, flags go with the locale's own pictures only, and one picture at a time.
// DATE_USE_ALT_CALENDAR falls back to the Gregorian calendar, the only one the device's locales have.
bool AreDateFlagsValid(DWORD flags, bool withPicture)
{
    constexpr DWORD kKnown = DATE_SHORTDATE | DATE_LONGDATE | DATE_USE_ALT_CALENDAR | LOCALE_NOUSEROVERRIDE;
    if (withPicture) return flags == 0;
    return (flags & ~kKnown) == 0 &&
           (flags & (DATE_SHORTDATE | DATE_LONGDATE)) != (DATE_SHORTDATE | DATE_LONGDATE);
}

int Fail(DWORD error)
{
    SetLastError(error);
    return 0;
}

} // namespace

int WINAPI GetDateFormatW(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpDate, LPCWSTR lpFormat,
                          LPWSTR lpDateStr, int cchDate)
{
    if (!AreDateFlagsValid(dwFlags, lpFormat != nullptr)) return Fail(ERROR_INVALID_FLAGS);
    const device::LocaleData* locale = BeginFormat(Locale, lpDateStr, cchDate);
    if (!locale) return 0;
    SYSTEMTIME date;
    if (lpDate)
        date = *lpDate;
    else
        GetLocalTime(&date);
    if (!IsValidDate(date)) return Fail(ERROR_INVALID_PARAMETER);

    const std::u16string_view picture = lpFormat                  ? std::u16string_view(lpFormat)
                                        : dwFlags & DATE_LONGDATE ? locale->longDate
                                                                  : locale->shortDate;
    const std::u16string text =
        device::FormatPicture(device::ParsePicture(picture, device::PictureKind::Date), date, *locale);
    return device::CopyOut(text, lpDateStr, cchDate);
}

int WINAPI GetTimeFormatW(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpTime, LPCWSTR lpFormat,
                          LPWSTR lpTimeStr, int cchTime)
{
    constexpr DWORD kKnown = TIME_NOMINUTESORSECONDS | TIME_NOSECONDS | TIME_NOTIMEMARKER |
                             TIME_FORCE24HOURFORMAT | LOCALE_NOUSEROVERRIDE;
    if ((dwFlags & ~kKnown) != 0 || (lpFormat && (dwFlags & LOCALE_NOUSEROVERRIDE)))
        return Fail(ERROR_INVALID_FLAGS);
    const device::LocaleData* locale = BeginFormat(Locale, lpTimeStr, cchTime);
    if (!locale) return 0;
    SYSTEMTIME time;
    if (lpTime)
        time = *lpTime;
    else
        GetLocalTime(&time);
    // The date half of the structure is ignored, as documented.
    if (!IsValidTime(time)) return Fail(ERROR_INVALID_PARAMETER);

    device::Picture picture = device::ParsePicture(
        lpFormat ? std::u16string_view(lpFormat) : locale->timeFormat, device::PictureKind::Time);
    // Each flag takes away its fields with their separators; forcing 24 hours keeps a marker unless it
    // is taken away too.
    device::DropFields(picture, [dwFlags](const device::PictureToken& token) {
        return (token.field == u'm' && (dwFlags & TIME_NOMINUTESORSECONDS)) ||
               (token.field == u's' && (dwFlags & (TIME_NOMINUTESORSECONDS | TIME_NOSECONDS))) ||
               (token.field == u't' && (dwFlags & TIME_NOTIMEMARKER));
    });
    if (dwFlags & TIME_FORCE24HOURFORMAT) {
        for (device::PictureToken& token : picture) {
            if (token.field == u'h') token.field = u'H';
        }
    }
    return device::CopyOut(device::FormatPicture(picture, time, *locale), lpTimeStr, cchTime);
}
