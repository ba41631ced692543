// Locale identifiers of the device and GetLocaleInfoW, answered from ICU with Windows-style pictures.
#include <windows.h>

#include "locale/CopyOut.h"
#include "locale/LocaleData.h"
#include "locale/Picture.h"

#include <unicode/uloc.h>

#include <cstdio>

namespace
{

using DisplayFunction = int32_t (*)(const char*, const char*, UChar*, int32_t, UErrorCode*);

// A locale's name as ICU shows it in the device's language.
std::u16string DisplayName(DisplayFunction display, const std::string& id, const std::string& inLocale)
{
    UChar name[128];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = display(id.c_str(), inLocale.c_str(), name, 128, &status);
    if (U_FAILURE(status) || status == U_STRING_NOT_TERMINATED_WARNING) return {};
    return std::u16string(name, length);
}

std::u16string Ascii(const char* text)
{
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

// 0 for month-day-year, 1 for day-month-year, 2 for year-month-day: whichever field comes first.
std::u16string DateOrder(const std::u16string& shortDate)
{
    for (const device::PictureToken& token : device::ParsePicture(shortDate, device::PictureKind::Date)) {
        if (token.field == u'M') return u"0";
        if (token.field == u'd') return u"1";
        if (token.field == u'y') return u"2";
    }
    return u"0";
}

// 1 for a 24-hour clock, 0 for a 12-hour one.
std::u16string ClockKind(const std::u16string& timeFormat)
{
    for (const device::PictureToken& token : device::ParsePicture(timeFormat, device::PictureKind::Time)) {
        if (token.field == u'H') return u"1";
        if (token.field == u'h') return u"0";
    }
    return u"0";
}

bool LocaleValue(const device::LocaleData& d, LCTYPE type, std::u16string& value)
{
    if (type >= LOCALE_SDAYNAME1 && type <= LOCALE_SDAYNAME7) {
        value = d.dayNames[type - LOCALE_SDAYNAME1];
        return true;
    }
    if (type >= LOCALE_SABBREVDAYNAME1 && type <= LOCALE_SABBREVDAYNAME7) {
        value = d.abbrevDayNames[type - LOCALE_SABBREVDAYNAME1];
        return true;
    }
    if (type >= LOCALE_SMONTHNAME1 && type < LOCALE_SMONTHNAME1 + 12) {
        value = d.monthNames[type - LOCALE_SMONTHNAME1];
        return true;
    }
    if (type >= LOCALE_SABBREVMONTHNAME1 && type < LOCALE_SABBREVMONTHNAME1 + 12) {
        value = d.abbrevMonthNames[type - LOCALE_SABBREVMONTHNAME1];
        return true;
    }
    char number[16];
    switch (type) {
    case LOCALE_ILANGUAGE:
        std::snprintf(number, sizeof number, "%04x", static_cast<unsigned>(LANGIDFROMLCID(d.lcid)));
        value = Ascii(number);
        return true;
    case LOCALE_SLANGUAGE:
        value = DisplayName(uloc_getDisplayName, d.icuId, device::DeviceLocaleId());
        return true;
    case LOCALE_SENGLANGUAGE: value = DisplayName(uloc_getDisplayLanguage, d.icuId, "en"); return true;
    case LOCALE_SCOUNTRY:
        value = DisplayName(uloc_getDisplayCountry, d.icuId, device::DeviceLocaleId());
        return true;
    case LOCALE_SDECIMAL: value = d.decimal; return true;
    case LOCALE_STHOUSAND: value = d.thousand; return true;
    case LOCALE_SDATE: value = d.dateSeparator; return true;
    case LOCALE_STIME: value = d.timeSeparator; return true;
    case LOCALE_SSHORTDATE: value = d.shortDate; return true;
    case LOCALE_SLONGDATE: value = d.longDate; return true;
    case LOCALE_STIMEFORMAT: value = d.timeFormat; return true;
    case LOCALE_IDATE: value = DateOrder(d.shortDate); return true;
    case LOCALE_ITIME: value = ClockKind(d.timeFormat); return true;
    case LOCALE_S1159: value = d.am; return true;
    case LOCALE_S2359: value = d.pm; return true;
    case LOCALE_IFIRSTDAYOFWEEK:
        value = std::u16string(1, static_cast<char16_t>(u'0' + d.firstDayOfWeek));
        return true;
    }
    return false;
}

LCID DeviceLcid()
{
    return uloc_getLCID(device::DeviceLocaleId().c_str());
}

} // namespace

LCID WINAPI GetUserDefaultLCID(void)
{
    return DeviceLcid();
}

LCID WINAPI GetSystemDefaultLCID(void)
{
    return DeviceLcid();
}

LANGID WINAPI GetUserDefaultLangID(void)
{
    return LANGIDFROMLCID(DeviceLcid());
}

LANGID WINAPI GetSystemDefaultLangID(void)
{
    return LANGIDFROMLCID(DeviceLcid());
}

int WINAPI GetLocaleInfoW(LCID Locale, LCTYPE LCType, LPWSTR lpLCData, int cchData)
{
    if (!device::IsOutputValid(lpLCData, cchData)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const device::LocaleData* locale = device::LocaleFor(Locale);
    if (!locale) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // No user overrides exist on the device, so LOCALE_NOUSEROVERRIDE changes nothing.
    std::u16string value;
    if (!LocaleValue(*locale, LCType & ~LOCALE_NOUSEROVERRIDE, value)) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    return device::CopyOut(value, lpLCData, cchData);
}
