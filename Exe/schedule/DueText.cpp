#include "schedule/DueText.h"

#include "app/Program.h"
#include "store/Owners.h"

#include <ids.h>
#include <strsafe.h>

namespace
{

constexpr int kFormatLength = 128;
constexpr int kTextLength = 256;

// Calendar days from now's date to due's date, whatever the times of day: the words "today" and
// "tomorrow" and a weekday name speak of dates, so they are chosen by date.
int CalendarDaysBetween(const SYSTEMTIME& now, const SYSTEMTIME& due)
{
    DateTime today, dueDay;
    today.FromParts(now.wYear, now.wMonth, now.wDay, 0, 0, 0);
    dueDay.FromParts(due.wYear, due.wMonth, due.wDay, 0, 0, 0);
    return static_cast<int>((dueDay - today).WholeDays());
}

UINT FormatFor(int days)
{
    if (days == 0) return IDS_DUE_TODAY_FORMAT;
    if (days == 1) return IDS_DUE_TOMORROW_FORMAT;
    if (days >= 2 && days <= 7) return IDS_DUE_WEEKDAY_FORMAT;
    return IDS_DUE_DATE_FORMAT; // further on, or gone by on an earlier day
}

} // namespace

HRESULT DescribeDueTime(const DateTime& due, const SYSTEMTIME& now, LPWSTR* out)
{
    SYSTEMTIME dueTime;
    if (!due.ToSystemTime(&dueTime)) return E_FAIL;
    LocalPtr<WCHAR> timeText;
    HRESULT hr = LocalTimeText(&dueTime, TIME_NOSECONDS, timeText.Out());
    if (FAILED(hr)) return hr;

    UINT formatId = FormatFor(CalendarDaysBetween(now, dueTime));
    WCHAR format[kFormatLength];
    if (LoadStringW(g_program.resources, formatId, format, kFormatLength) == 0) return E_FAIL;
    WCHAR text[kTextLength];
    if (formatId == IDS_DUE_WEEKDAY_FORMAT) {
        std::u16string weekday = due.FormatPattern(TEXT("%A"));
        hr = StringCchPrintfW(text, kTextLength, format, weekday.c_str(), timeText.Get());
    } else if (formatId == IDS_DUE_DATE_FORMAT) {
        LocalPtr<WCHAR> dateText;
        hr = LocalDateText(&dueTime, DATE_SHORTDATE, dateText.Out());
        if (FAILED(hr)) return hr;
        hr = StringCchPrintfW(text, kTextLength, format, dateText.Get(), timeText.Get());
    } else {
        hr = StringCchPrintfW(text, kTextLength, format, timeText.Get());
    }
    if (FAILED(hr)) return hr;
    LPWSTR copy = LocalCopy(text);
    if (!copy) return E_OUTOFMEMORY;
    *out = copy;
    return S_OK;
}
