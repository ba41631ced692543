#include "TimeText.h"

#include "Command.h"

#include "device/Calendar.h"
#include "device/Clock.h"

#include <cctype>
#include <cstdio>

namespace phone {

namespace {

constexpr int64_t kSecond = device::kTicksPerSecond;

bool Digits(const std::string& text, size_t from, size_t count)
{
    for (size_t i = from; i < from + count; ++i)
        if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    return true;
}

int Number(const std::string& text, size_t from, size_t count) { return std::stoi(text.substr(from, count)); }

} // namespace

int64_t ParseLocalTime(const std::string& text)
{
    // Exactly YYYY-MM-DD HH:MM:SS.
    bool shaped = text.size() == 19 && Digits(text, 0, 4) && text[4] == '-' && Digits(text, 5, 2) && text[7] == '-' &&
                  Digits(text, 8, 2) && text[10] == ' ' && Digits(text, 11, 2) && text[13] == ':' &&
                  Digits(text, 14, 2) && text[16] == ':' && Digits(text, 17, 2);
    if (!shaped)
        throw UsageError("'" + text + "' is not a time of the form YYYY-MM-DD HH:MM:SS");
    int year = Number(text, 0, 4), month = Number(text, 5, 2), day = Number(text, 8, 2);
    int hour = Number(text, 11, 2), minute = Number(text, 14, 2), second = Number(text, 17, 2);
    if (year < 1601 || month < 1 || month > 12 || day < 1 || day > device::DaysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59)
        throw UsageError("'" + text + "' is not a valid time");
    int64_t days = device::DaysFromCivil(year, month, day);
    return device::kUnixEpochTicks + (days * 86400 + hour * 3600 + minute * 60 + second) * kSecond;
}

std::string FormatLocalTime(int64_t localTicks)
{
    int64_t seconds = (localTicks - device::kUnixEpochTicks) / kSecond;
    int64_t days = seconds / 86400, rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    device::CivilDate date = device::CivilFromDays(days);
    char text[64];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02d %02d:%02d:%02d", static_cast<long long>(date.year), date.month,
                  date.day, static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
    return text;
}

int64_t ParseDuration(const std::string& text)
{
    auto bad = [&] { return UsageError("'" + text + "' is not a duration (such as 90, 45s, 5m, 1h30m or 2d)"); };
    if (text.empty())
        throw bad();
    const std::string units = "dhms";
    const int64_t perUnit[] = {86400, 3600, 60, 1};
    int64_t total = 0;
    size_t i = 0, nextUnit = 0;
    while (i < text.size()) {
        size_t start = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
            ++i;
        if (i == start || i - start > 9)
            throw bad();
        int64_t count = std::stoll(text.substr(start, i - start));
        if (i == text.size()) {
            if (start != 0) // a bare number only on its own
                throw bad();
            return count * kSecond;
        }
        size_t unit = units.find(text[i]);
        if (unit == std::string::npos || unit < nextUnit)
            throw bad();
        total += count * perUnit[unit];
        nextUnit = unit + 1;
        ++i;
    }
    if (total > (device::kEndClockTicks - device::kFirstClockTicks) / kSecond)
        throw UsageError("'" + text + "' is longer than the device clock's whole range");
    return total * kSecond;
}

int64_t DeviceLocalNow() { return LocalFromUtc(device::NowTicks()); }

int64_t LocalFromUtc(int64_t utcTicks) { return utcTicks + device::LocalOffsetAt(utcTicks); }

int64_t UtcFromLocal(int64_t localTicks) { return localTicks - device::LocalOffsetAtLocal(localTicks); }

} // namespace phone
