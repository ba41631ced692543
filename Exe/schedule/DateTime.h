// The program's one date-time value (an OLE Automation date in local time) and its span type.
#pragma once

#include <windows.h>

#include <string>

enum DateTimeStatus : LONG {
    DateTimeValid = 0,
    DateTimeInvalid = 1,
    DateTimeNull = 2,
};

// A signed number of days; invalid outside the range a date difference can take.
class DateTimeSpan {
public:
    DateTimeSpan() = default;
    explicit DateTimeSpan(double days) { SetValue(days); }

    static DateTimeSpan SpanFromParts(LONG days, LONG hours, LONG minutes, LONG seconds);

    double Value() const { return m_value; }
    DateTimeStatus Status() const { return m_status; }
    void SetValue(double days); // valid, then the range check

    double WholeDays() const;
    double WholeSeconds() const;

private:
    double m_value = 0.0;
    DateTimeStatus m_status = DateTimeValid;
};

class DateTime {
public:
    DateTime() = default;

    static DateTime FromSystemTime(const SYSTEMTIME& st);
    DateTimeStatus FromParts(int year, int month, int day, int hour, int minute, int second);
    bool ToSystemTime(SYSTEMTIME* st) const;

    double Value() const { return m_value; }
    DateTimeStatus Status() const { return m_status; }
    void SetValue(double value, DateTimeStatus status)
    {
        m_value = value;
        m_status = status;
    }

    // Adds in place and keeps the status, where AddSpan makes a valid value.
    DateTime& operator+=(const DateTimeSpan& span);

    std::u16string FormatPattern(LPCWSTR pattern) const;
    std::u16string FormatLocale(DWORD flags, LCID locale) const;

    friend bool operator<(const DateTime& a, const DateTime& b);
    friend bool operator>(const DateTime& a, const DateTime& b);
    friend bool operator==(const DateTime& a, const DateTime& b);
    friend bool operator<=(const DateTime& a, const DateTime& b) { return a < b || a == b; }
    friend bool operator>=(const DateTime& a, const DateTime& b) { return a > b || a == b; }
    friend DateTimeSpan operator-(const DateTime& a, const DateTime& b);

private:
    double m_value = 0.0;
    DateTimeStatus m_status = DateTimeValid;
};

// The system's current local time.
DateTime LocalNow();

DateTime AddSpan(const DateTime& d, const DateTimeSpan& s);
DateTime SubtractSpan(const DateTime& d, const DateTimeSpan& s);

// The user locale's time or date text of a system time, in a new local-heap string the caller frees
// with LocalFree. On failure *out is null.
HRESULT LocalTimeText(const SYSTEMTIME* st, DWORD flags, LPWSTR* out);
HRESULT LocalDateText(const SYSTEMTIME* st, DWORD flags, LPWSTR* out);
