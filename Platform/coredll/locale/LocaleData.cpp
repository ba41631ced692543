#include "locale/LocaleData.h"

#include "device/Device.h"
#include "locale/IcuPattern.h"
#include "locale/Picture.h"

#include <unicode/calendar.h>
#include <unicode/datefmt.h>
#include <unicode/dcfmtsym.h>
#include <unicode/dtfmtsym.h>
#include <unicode/smpdtfmt.h>
#include <unicode/uloc.h>

#include <map>
#include <memory>
#include <mutex>

namespace device
{
namespace
{

std::mutex g_mutex;
std::map<std::string, std::unique_ptr<LocaleData>> g_locales;

std::u16string Text(const icu::UnicodeString& s)
{
    return std::u16string(s.getBuffer(), s.length());
}

// The pattern of one of ICU's date or time styles; false when ICU has none for the locale.
bool PatternOf(icu::DateFormat* format, icu::UnicodeString& pattern)
{
    auto* simple = dynamic_cast<icu::SimpleDateFormat*>(format);
    if (!simple) return false;
    simple->toPattern(pattern);
    return true;
}

bool ReadPictures(const icu::Locale& loc, LocaleData& d)
{
    std::unique_ptr<icu::DateFormat> shortDate(
        icu::DateFormat::createDateInstance(icu::DateFormat::kShort, loc));
    std::unique_ptr<icu::DateFormat> longDate(
        icu::DateFormat::createDateInstance(icu::DateFormat::kFull, loc));
    // The medium style is the one with seconds, as the device's time format has them.
    std::unique_ptr<icu::DateFormat> time(icu::DateFormat::createTimeInstance(icu::DateFormat::kMedium, loc));
    icu::UnicodeString shortPattern, longPattern, timePattern;
    if (!PatternOf(shortDate.get(), shortPattern) || !PatternOf(longDate.get(), longPattern) ||
        !PatternOf(time.get(), timePattern))
        return false;
    d.shortDate = PictureFromIcuPattern(shortPattern, true);
    d.longDate = PictureFromIcuPattern(longPattern, false);
    d.timeFormat = PictureFromIcuPattern(timePattern, false);
    d.dateSeparator = SeparatorOf(ParsePicture(d.shortDate, PictureKind::Date));
    d.timeSeparator = SeparatorOf(ParsePicture(d.timeFormat, PictureKind::Time));
    return true;
}

bool ReadNames(const icu::Locale& loc, LocaleData& d)
{
    UErrorCode status = U_ZERO_ERROR;
    icu::DateFormatSymbols symbols(loc, status);
    if (U_FAILURE(status)) return false;
    int32_t count = 0;
    using Symbols = icu::DateFormatSymbols;
    // ICU counts weekdays from Sunday at index 1; the device's day names start on Monday.
    const icu::UnicodeString* days = symbols.getWeekdays(count, Symbols::FORMAT, Symbols::WIDE);
    const icu::UnicodeString* shortDays = symbols.getWeekdays(count, Symbols::FORMAT, Symbols::ABBREVIATED);
    if (count < 8) return false;
    for (int i = 0; i < 7; ++i) {
        d.dayNames[i] = Text(days[(i + 1) % 7 + 1]);
        d.abbrevDayNames[i] = Text(shortDays[(i + 1) % 7 + 1]);
    }
    const icu::UnicodeString* months = symbols.getMonths(count, Symbols::FORMAT, Symbols::WIDE);
    const icu::UnicodeString* shortMonths = symbols.getMonths(count, Symbols::FORMAT, Symbols::ABBREVIATED);
    if (count < 12) return false;
    for (int i = 0; i < 12; ++i) {
        d.monthNames[i] = Text(months[i]);
        d.abbrevMonthNames[i] = Text(shortMonths[i]);
    }
    const icu::UnicodeString* markers = symbols.getAmPmStrings(count);
    if (count < 2) return false;
    d.am = Text(markers[0]);
    d.pm = Text(markers[1]);
    const icu::UnicodeString* eras = symbols.getEras(count);
    if (count < 2) return false;
    d.era = Text(eras[1]);
    return true;
}

bool ReadNumbersAndWeek(const icu::Locale& loc, LocaleData& d)
{
    UErrorCode status = U_ZERO_ERROR;
    icu::DecimalFormatSymbols numbers(loc, status);
    std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(loc, status));
    if (U_FAILURE(status)) return false;
    d.decimal = Text(numbers.getConstSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol));
    d.thousand = Text(numbers.getConstSymbol(icu::DecimalFormatSymbols::kGroupingSeparatorSymbol));
    // ICU: 1 is Sunday; the device: 0 is Monday.
    d.firstDayOfWeek = (calendar->getFirstDayOfWeek(status) + 5) % 7;
    return U_SUCCESS(status);
}

std::unique_ptr<LocaleData> ReadLocale(const std::string& id)
{
    auto d = std::make_unique<LocaleData>();
    d->icuId = id;
    d->lcid = uloc_getLCID(id.c_str());
    const icu::Locale loc(id.c_str());
    if (!ReadPictures(loc, *d) || !ReadNames(loc, *d) || !ReadNumbersAndWeek(loc, *d)) return nullptr;
    return d;
}

} // namespace

std::string DeviceLocaleId()
{
    try {
        return CurrentProfile().locale;
    } catch (const DatabaseError&) {
        return Profile().locale;
    }
}

std::string IcuLocaleFor(LCID lcid)
{
    const LANGID lang = LANGIDFROMLCID(lcid);
    if (lang == LOCALE_USER_DEFAULT || lang == LOCALE_SYSTEM_DEFAULT || lang == LOCALE_NEUTRAL)
        return DeviceLocaleId();
    char id[ULOC_FULLNAME_CAPACITY];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = uloc_getLocaleForLCID(lcid, id, sizeof id, &status);
    if (U_FAILURE(status) || length <= 0 || status == U_STRING_NOT_TERMINATED_WARNING) return {};
    return std::string(id, length);
}

const LocaleData* LocaleFor(LCID lcid)
{
    const std::string id = IcuLocaleFor(lcid);
    if (id.empty()) return nullptr;
    std::lock_guard guard(g_mutex);
    auto found = g_locales.find(id);
    if (found == g_locales.end()) found = g_locales.emplace(id, ReadLocale(id)).first;
    return found->second.get();
}

} // namespace device
