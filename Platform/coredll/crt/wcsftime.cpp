// The device runtime's wcsftime: strftime conversions on 16-bit text, names from the user locale.
// Supported: %a %A %b %B %c %d %H %I %j %m %M %p %S %w %x %X %y %Y %%; anything else fails.
#include <devicecrt.h>
#include <windows.h>

#include <algorithm>
#include <string>

namespace {

std::u16string LocaleText(LCTYPE type)
{
    WCHAR buffer[80];
    int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 80);
    return length > 0 ? std::u16string(buffer, length - 1) : std::u16string();
}

std::u16string Number(int value, int width)
{
    std::u16string digits;
    unsigned v = static_cast<unsigned>(value < 0 ? -value : value);
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + v % 10));
        v /= 10;
    } while (v);
    while (static_cast<int>(digits.size()) < width)
        digits.insert(digits.begin(), u'0');
    return value < 0 ? u"-" + digits : digits;
}

SYSTEMTIME ToSystemTime(const struct tm& t)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.tm_year + 1900);
    st.wMonth = static_cast<WORD>(t.tm_mon + 1);
    st.wDayOfWeek = static_cast<WORD>(t.tm_wday);
    st.wDay = static_cast<WORD>(t.tm_mday);
    st.wHour = static_cast<WORD>(t.tm_hour);
    st.wMinute = static_cast<WORD>(t.tm_min);
    st.wSecond = static_cast<WORD>(t.tm_sec);
    return st;
}

std::u16string Formatted(bool date, const struct tm& t)
{
    SYSTEMTIME st = ToSystemTime(t);
    WCHAR buffer[128];
    int length = date ? GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer, 128)
                      : GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer, 128);
    return length > 0 ? std::u16string(buffer, length - 1) : std::u16string();
}

// The locale numbers weekdays from Monday (LOCALE_SDAYNAME1); struct tm from Sunday.
LCTYPE DayName(int wday, bool abbreviated)
{
    int monday = (wday + 6) % 7;
    return (abbreviated ? LOCALE_SABBREVDAYNAME1 : LOCALE_SDAYNAME1) + monday;
}

bool Convert(WCHAR c, const struct tm& t, std::u16string& out)
{
    switch (c) {
    case u'a': out += LocaleText(DayName(t.tm_wday, true)); return true;
    case u'A': out += LocaleText(DayName(t.tm_wday, false)); return true;
    case u'b': out += LocaleText(LOCALE_SABBREVMONTHNAME1 + t.tm_mon); return true;
    case u'B': out += LocaleText(LOCALE_SMONTHNAME1 + t.tm_mon); return true;
    case u'c': out += Formatted(true, t) + u" " + Formatted(false, t); return true;
    case u'd': out += Number(t.tm_mday, 2); return true;
    case u'H': out += Number(t.tm_hour, 2); return true;
    case u'I': out += Number(t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12, 2); return true;
    case u'j': out += Number(t.tm_yday + 1, 3); return true;
    case u'm': out += Number(t.tm_mon + 1, 2); return true;
    case u'M': out += Number(t.tm_min, 2); return true;
    case u'p': out += LocaleText(t.tm_hour < 12 ? LOCALE_S1159 : LOCALE_S2359); return true;
    case u'S': out += Number(t.tm_sec, 2); return true;
    case u'w': out += Number(t.tm_wday, 1); return true;
    case u'x': out += Formatted(true, t); return true;
    case u'X': out += Formatted(false, t); return true;
    case u'y': out += Number((t.tm_year + 1900) % 100, 2); return true;
    case u'Y': out += Number(t.tm_year + 1900, 1); return true;
    case u'%': out += u'%'; return true;
    default: return false;
    }
}

} // namespace

size_t wcsftime(WCHAR* strDest, size_t maxsize, const WCHAR* format, const struct tm* timeptr)
{
    if (!strDest || !format || !timeptr || maxsize == 0)
        return 0;
    if (timeptr->tm_mon < 0 || timeptr->tm_mon > 11 || timeptr->tm_wday < 0 || timeptr->tm_wday > 6)
        return 0;
    std::u16string out;
    for (const WCHAR* p = format; *p; ++p) {
        if (*p != u'%') {
            out += *p;
            continue;
        }
        if (!p[1] || !Convert(*++p, *timeptr, out))
            return 0;
    }
    if (out.size() + 1 > maxsize)
        return 0;
    std::copy(out.begin(), out.end(), strDest);
    strDest[out.size()] = 0;
    return out.size();
}
