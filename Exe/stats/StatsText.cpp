#include "stats/StatsText.h"

#include "app/ResourceText.h"

#include "ids.h"

#include <oleauto.h>
#include <strsafe.h>

#include <cstdarg>
#include <memory>

namespace {

constexpr int kTextCapacity = 256;

// Resource format id filled with the arguments (%s a wide string, %d an int); empty when it is missing.
std::u16string FormatResource(UINT id, ...)
{
    std::u16string format = ResourceString(id);
    if (format.empty())
        return format;
    WCHAR text[kTextCapacity] = {};
    va_list arguments;
    va_start(arguments, id);
    // A text too long for the row is cut, which the row would do anyway.
    StringCchVPrintfW(text, kTextCapacity, format.c_str(), arguments);
    va_end(arguments);
    return text;
}

std::u16string NumberText(DWORD number)
{
    WCHAR text[16];
    StringCchPrintfW(text, 16, TEXT("%d"), static_cast<int>(number));
    return text;
}

std::u16string DateText(const DateTime& date)
{
    return date.FormatLocale(VAR_DATEVALUEONLY, LOCALE_USER_DEFAULT);
}

std::u16string PeriodText(const StatsReport& report)
{
    std::u16string first = DateText(report.Start());
    if (report.DaysInPeriod() == 1)
        return first;
    return FormatResource(IDS_STATS_PERIOD_FORMAT, first.c_str(), DateText(report.End()).c_str(),
                          static_cast<int>(report.DaysInPeriod()));
}

std::u16string AverageText(const StatsReport& report)
{
    if (report.Total() == 0)
        return ResourceString(IDS_STATS_NONE);
    DWORD average = report.AveragePerDay();
    if (average == 0)
        return ResourceString(IDS_UNDER_ONE_MESSAGE);
    if (average == 1)
        return ResourceString(IDS_ONE_MESSAGE);
    return FormatResource(IDS_MESSAGES_FORMAT, static_cast<int>(average));
}

std::u16string TopText(const TallyTop& top)
{
    if (!top.text)
        return ResourceString(IDS_STATS_NONE);
    return FormatResource(IDS_STATS_TOP_FORMAT, top.text->c_str(), static_cast<int>(top.count));
}

} // namespace

std::u16string ResourceString(UINT id)
{
    std::unique_ptr<WCHAR[]> text(CopyResourceString(id));
    return text ? std::u16string(text.get()) : std::u16string();
}

std::array<StatsRow, kStatsRowCount> StatsRows(const StatsReport& report, DWORD folderKind)
{
    UINT totalLabel = folderKind == kSentFolder ? IDS_STATS_SENT : IDS_STATS_RECEIVED;
    return {{
        {IDS_STATS_PERIOD, ResourceString(IDS_STATS_PERIOD), PeriodText(report)},
        {IDS_STATS_MESSAGES, ResourceString(totalLabel), NumberText(report.Total())},
        {IDS_STATS_AVERAGE, ResourceString(IDS_STATS_AVERAGE), AverageText(report)},
        {IDS_STATS_BUSIEST_WEEKDAY, ResourceString(IDS_STATS_BUSIEST_WEEKDAY), TopText(report.TopWeekday())},
        {IDS_STATS_BUSIEST_HOUR, ResourceString(IDS_STATS_BUSIEST_HOUR), TopText(report.TopHour())},
        {IDS_STATS_TOP_CONTACT, ResourceString(IDS_STATS_TOP_CONTACT), TopText(report.TopContact())},
        {IDS_STATS_FEEDBACK, ResourceString(IDS_STATS_FEEDBACK), ResourceString(IDS_STATS_FEEDBACK_ACTION)},
    }};
}

std::u16string ShareText(DWORD count, DWORD total)
{
    // In single precision, where 3 of 300 comes to exactly 1 percent rather than just under it.
    float share = static_cast<float>(count) / static_cast<float>(total) * 100.0f;
    if (share >= 1.0f)
        return FormatResource(count == 1 ? IDS_ONE_MESSAGE_SHARE_FORMAT : IDS_MESSAGES_SHARE_FORMAT,
                              static_cast<int>(count), static_cast<int>(share));
    return count == 1 ? ResourceString(IDS_ONE_MESSAGE) : FormatResource(IDS_MESSAGES_FORMAT, static_cast<int>(count));
}
