#include "stats/StatsLabels.h"

#include "schedule/DateTime.h"
#include "store/Owners.h"

#include <strsafe.h>

#include <new>

namespace
{

// The locale numbers its day names from Monday; the tables start on Sunday.
constexpr LCTYPE kDayNames[7] = {LOCALE_SDAYNAME7, LOCALE_SDAYNAME1, LOCALE_SDAYNAME2, LOCALE_SDAYNAME3,
                                 LOCALE_SDAYNAME4, LOCALE_SDAYNAME5, LOCALE_SDAYNAME6};

HRESULT DayName(LCTYPE which, std::u16string& name)
{
    int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, which, nullptr, 0);
    if (length == 0) return E_FAIL;
    name.assign(length, u'\0');
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, which, name.data(), length) == 0) return E_FAIL;
    name.resize(lstrlenW(name.c_str()));
    return S_OK;
}

// The locale's text of `hour`:00 on `day`.
HRESULT HourText(SYSTEMTIME day, WORD hour, std::u16string& text)
{
    day.wHour = hour;
    day.wMinute = 0;
    day.wSecond = 0;
    day.wMilliseconds = 0;
    LocalPtr<WCHAR> formatted;
    HRESULT hr = LocalTimeText(&day, TIME_NOSECONDS, formatted.Out());
    if (FAILED(hr)) return hr;
    try {
        text = formatted.Get();
    } catch (const std::bad_alloc&) {
        hr = E_OUTOFMEMORY;
    }
    return hr;
}

HRESULT HourLabel(const SYSTEMTIME& today, WORD hour, std::u16string& label)
{
    std::u16string from, to;
    HRESULT hr = HourText(today, hour, from);
    if (SUCCEEDED(hr)) hr = HourText(today, (hour + 1) % 24, to);
    if (FAILED(hr)) return hr;
    label.assign(from.size() + to.size() + 2, u'\0');
    hr = StringCchPrintfW(label.data(), label.size(), TEXT("%s-%s"), from.c_str(), to.c_str());
    label.resize(lstrlenW(label.c_str()));
    return hr;
}

} // namespace

HRESULT BuildWeekdayNames(std::array<TallyEntry, 7>& days)
{
    try {
        for (size_t i = 0; i < days.size(); ++i) {
            HRESULT hr = DayName(kDayNames[i], days[i].text);
            if (FAILED(hr)) return hr;
            days[i].count = 0;
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT BuildHourLabels(std::array<TallyEntry, 24>& hours)
{
    SYSTEMTIME today;
    GetLocalTime(&today);
    try {
        for (WORD h = 0; h < hours.size(); ++h) {
            HRESULT hr = HourLabel(today, h, hours[h].text);
            if (FAILED(hr)) return hr;
            hours[h].count = 0;
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}
