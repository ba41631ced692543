// What the NLS functions know of a locale, read once from ICU and kept for the life of the process.
#pragma once

#include <windows.h>

#include <array>
#include <string>

namespace device
{

struct LocaleData {
    std::string icuId;
    LCID lcid = 0; // the locale's own identifier, never a default alias
    // Windows-style pictures and their separators.
    std::u16string shortDate;
    std::u16string longDate;
    std::u16string timeFormat;
    std::u16string dateSeparator;
    std::u16string timeSeparator;
    std::u16string am;
    std::u16string pm;
    std::u16string era; // the current era of the Gregorian calendar
    // Day names start on Monday, as LOCALE_SDAYNAME1 does.
    std::array<std::u16string, 7> dayNames;
    std::array<std::u16string, 7> abbrevDayNames;
    std::array<std::u16string, 12> monthNames;
    std::array<std::u16string, 12> abbrevMonthNames;
    std::u16string decimal;
    std::u16string thousand;
    int firstDayOfWeek = 0; // 0 is Monday, as LOCALE_IFIRSTDAYOFWEEK counts
};

// The ICU locale of the device's profile; the default profile's when there is no device.
std::string DeviceLocaleId();

// The ICU locale an LCID names: the device's for LOCALE_USER_DEFAULT, LOCALE_SYSTEM_DEFAULT and
// LOCALE_NEUTRAL; empty for an LCID the platform does not know.
std::string IcuLocaleFor(LCID lcid);

// The data of the locale an LCID names, or nullptr for an unknown LCID.
const LocaleData* LocaleFor(LCID lcid);

} // namespace device
