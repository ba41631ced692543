#include "schedule/DateTime.h"

#include "store/Owners.h"

#include <devicecrt.h>
#include <oleauto.h>

#include <cmath>
#include <cstdint>

namespace {

// Half a second in days, as the rounding of whole days and seconds uses it.
constexpr double kHalfSecond = 0.5 / 86400;
constexpr double kSecondsPerDay = 86400.0;
constexpr double kHour = 1.0 / 24;
constexpr double kMinute = 1.0 / 1440;
constexpr double kSecond = 1.0 / 86400;
// The largest difference two representable dates can have.
constexpr double kMaxSpanDays = 3615897.0;

const char16_t kInvalidText[] = u"Invalid DateTime";

// Negative OLE dates count days backward but the time of day forward; this form runs continuously.
double ToContinuous(double d)
{
    if (d >= 0)
        return d;
    double c = std::ceil(d);
    return c - (d - c);
}

double FromContinuous(double f)
{
    if (f >= 0)
        return f;
    double w = std::floor(f);
    return w + (w - f);
}

// Truncation toward zero into 32 bits; out-of-range values give the processor's "integer indefinite"
// rather than undefined behaviour.
double TruncateTo32(double value)
{
    if (!(value > -2147483649.0 && value < 2147483648.0))
        return static_cast<double>(INT32_MIN);
    return static_cast<double>(static_cast<int32_t>(value));
}

double RoundedToHalfSecond(double days) { return days < 0 ? days - kHalfSecond : days + kHalfSecond; }

using Formatter = int(WINAPI*)(LCID, DWORD, const SYSTEMTIME*, LPCWSTR, LPWSTR, int);

HRESULT LocalText(Formatter format, const SYSTEMTIME* st, DWORD flags, LPWSTR* out)
{
    if (!st || !out)
        return E_INVALIDARG;
    *out = nullptr;
    int needed = format(LOCALE_USER_DEFAULT, flags, st, nullptr, nullptr, 0);
    if (needed == 0)
        return E_FAIL;
    LocalPtr<WCHAR> block(static_cast<LPWSTR>(LocalAlloc(LPTR, needed * sizeof(WCHAR))));
    if (!block.Get())
        return E_OUTOFMEMORY;
    if (format(LOCALE_USER_DEFAULT, flags, st, nullptr, block.Get(), needed) == 0)
        return E_FAIL;
    LPWSTR copy = LocalCopy(block.Get());
    if (!copy)
        return E_OUTOFMEMORY;
    *out = copy;
    return S_OK;
}

} // namespace

void DateTimeSpan::SetValue(double days)
{
    m_value = days;
    m_status = (days < -kMaxSpanDays || days > kMaxSpanDays) ? DateTimeInvalid : DateTimeValid;
}

DateTimeSpan DateTimeSpan::SpanFromParts(LONG days, LONG hours, LONG minutes, LONG seconds)
{
    // The order of the additions is part of the result: it decides the last bit of the double.
    return DateTimeSpan(((minutes * kMinute + seconds * kSecond) + hours * kHour) + days);
}

double DateTimeSpan::WholeDays() const { return TruncateTo32(RoundedToHalfSecond(m_value)); }

double DateTimeSpan::WholeSeconds() const
{
    return TruncateTo32(RoundedToHalfSecond(m_value) * kSecondsPerDay);
}

DateTime DateTime::FromSystemTime(const SYSTEMTIME& st)
{
    DateTime result;
    SYSTEMTIME input = st;
    double value = 0.0;
    if (!SystemTimeToVariantTime(&input, &value)) {
        result.SetValue(value, DateTimeInvalid);
        return result;
    }
    // The conversion accepts some impossible fields (and rolls them over): only a value that reads
    // back as the same date and time is valid.
    SYSTEMTIME back{};
    bool same = VariantTimeToSystemTime(value, &back) && back.wYear == st.wYear && back.wMonth == st.wMonth &&
                back.wDay == st.wDay && back.wHour == st.wHour && back.wMinute == st.wMinute &&
                back.wSecond == st.wSecond;
    result.SetValue(value, same ? DateTimeValid : DateTimeInvalid);
    return result;
}

DateTimeStatus DateTime::FromParts(int year, int month, int day, int hour, int minute, int second)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    *this = FromSystemTime(st);
    return m_status;
}

bool DateTime::ToSystemTime(SYSTEMTIME* st) const
{
    if (m_status != DateTimeValid || !st)
        return false;
    return VariantTimeToSystemTime(m_value, st) != FALSE;
}

DateTime& DateTime::operator+=(const DateTimeSpan& span)
{
    m_value = FromContinuous(ToContinuous(m_value) + span.Value());
    return *this;
}

bool operator<(const DateTime& a, const DateTime& b)
{
    return a.m_status == DateTimeValid && b.m_status == DateTimeValid &&
           ToContinuous(a.m_value) < ToContinuous(b.m_value);
}

bool operator>(const DateTime& a, const DateTime& b)
{
    return a.m_status == DateTimeValid && b.m_status == DateTimeValid &&
           ToContinuous(a.m_value) > ToContinuous(b.m_value);
}

bool operator==(const DateTime& a, const DateTime& b)
{
    if (a.m_status != b.m_status)
        return false;
    if (a.m_status == DateTimeValid)
        return a.m_value == b.m_value;
    return a.m_status == DateTimeNull;
}

DateTimeSpan operator-(const DateTime& a, const DateTime& b)
{
    return DateTimeSpan(ToContinuous(a.m_value) - ToContinuous(b.m_value));
}

DateTime LocalNow()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return DateTime::FromSystemTime(now);
}

DateTime AddSpan(const DateTime& d, const DateTimeSpan& s)
{
    DateTime result;
    result.SetValue(FromContinuous(ToContinuous(d.Value()) + s.Value()), DateTimeValid);
    return result;
}

DateTime SubtractSpan(const DateTime& d, const DateTimeSpan& s)
{
    DateTime result;
    result.SetValue(FromContinuous(ToContinuous(d.Value()) - s.Value()), DateTimeValid);
    return result;
}

std::u16string DateTime::FormatPattern(LPCWSTR pattern) const
{
    if (m_status == DateTimeNull)
        return std::u16string();
    UDATE ud{};
    if (m_status == DateTimeInvalid || FAILED(VarUdateFromDate(m_value, 0, &ud)))
        return kInvalidText;
    struct tm t {};
    t.tm_sec = ud.st.wSecond;
    t.tm_min = ud.st.wMinute;
    t.tm_hour = ud.st.wHour;
    t.tm_mday = ud.st.wDay;
    t.tm_mon = ud.st.wMonth - 1;
    t.tm_year = ud.st.wYear - 1900;
    t.tm_wday = ud.st.wDayOfWeek;
    t.tm_yday = ud.wDayOfYear - 1;
    t.tm_isdst = 0;
    WCHAR buffer[256];
    size_t length = wcsftime(buffer, 256, pattern, &t);
    return std::u16string(buffer, length);
}

std::u16string DateTime::FormatLocale(DWORD flags, LCID locale) const
{
    if (m_status == DateTimeNull)
        return std::u16string();
    Bstr text;
    if (m_status == DateTimeInvalid || FAILED(VarBstrFromDate(m_value, locale, flags, text.Out())))
        return kInvalidText;
    return std::u16string(text.Get(), SysStringLen(text.Get()));
}

HRESULT LocalTimeText(const SYSTEMTIME* st, DWORD flags, LPWSTR* out)
{
    return LocalText(GetTimeFormatW, st, flags, out);
}

HRESULT LocalDateText(const SYSTEMTIME* st, DWORD flags, LPWSTR* out)
{
    return LocalText(GetDateFormatW, st, flags, out);
}
