#include <windows.h>

#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <string>

using testing_support::DeviceOptions;
using testing_support::TempDevice;

namespace
{

DeviceOptions WithLocale(const char* locale)
{
    DeviceOptions options;
    options.profile.locale = locale;
    return options;
}

std::u16string Info(LCID lcid, LCTYPE type)
{
    WCHAR buffer[128] = {};
    const int written = GetLocaleInfoW(lcid, type, buffer, ARRAYSIZE(buffer));
    EXPECT_GT(written, 0) << "LCTYPE " << type << " error " << GetLastError();
    return buffer;
}

std::u16string Date(LCID lcid, DWORD flags, const SYSTEMTIME& st, LPCWSTR picture = nullptr)
{
    WCHAR buffer[128] = {};
    EXPECT_GT(GetDateFormatW(lcid, flags, &st, picture, buffer, ARRAYSIZE(buffer)), 0) << GetLastError();
    return buffer;
}

std::u16string Time(LCID lcid, DWORD flags, const SYSTEMTIME& st, LPCWSTR picture = nullptr)
{
    WCHAR buffer[128] = {};
    EXPECT_GT(GetTimeFormatW(lcid, flags, &st, picture, buffer, ARRAYSIZE(buffer)), 0) << GetLastError();
    return buffer;
}

// Wednesday 5 March 2008, 13:05:09; the day of the week is deliberately wrong.
const SYSTEMTIME kAfternoon = {2008, 3, 1, 5, 13, 5, 9, 250};

struct LocaleCase {
    const char* locale;
    LCID lcid;
    const char16_t* shortDate;
    const char16_t* longDate;
    const char16_t* time;
    const char16_t* dateSeparator;
    const char16_t* decimal;
    const char16_t* firstDayOfWeek;
    const char16_t* language;
};

const LocaleCase kLocales[] = {
    {"en_US", 0x0409, u"M/d/yyyy", u"dddd, MMMM d, yyyy", u"h:mm:ss tt", u"/", u".", u"6", u"0409"},
    {"en_GB", 0x0809, u"dd/MM/yyyy", u"dddd, d MMMM yyyy", u"HH:mm:ss", u"/", u".", u"0", u"0809"},
    {"de_DE", 0x0407, u"dd.MM.yyyy", u"dddd, d. MMMM yyyy", u"HH:mm:ss", u".", u",", u"0", u"0407"},
};

} // namespace

TEST(LocaleInfo, TheDeviceLocaleGivesItsIdentifierAndWindowsStylePictures)
{
    for (const LocaleCase& c : kLocales) {
        SCOPED_TRACE(c.locale);
        TempDevice device(WithLocale(c.locale));
        EXPECT_EQ(GetUserDefaultLCID(), c.lcid);
        EXPECT_EQ(GetSystemDefaultLCID(), c.lcid);
        EXPECT_EQ(GetUserDefaultLangID(), c.lcid);
        for (LCID alias : {LCID(LOCALE_USER_DEFAULT), LCID(LOCALE_SYSTEM_DEFAULT), c.lcid}) {
            EXPECT_EQ(Info(alias, LOCALE_SSHORTDATE), c.shortDate);
            EXPECT_EQ(Info(alias, LOCALE_SLONGDATE), c.longDate);
            EXPECT_EQ(Info(alias, LOCALE_STIMEFORMAT), c.time);
        }
        EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_SDATE), c.dateSeparator);
        EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_STIME), u":");
        EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL), c.decimal);
        EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK), c.firstDayOfWeek);
        EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_ILANGUAGE), c.language);
        EXPECT_EQ(Info(LOCALE_USER_DEFAULT | LOCALE_NOUSEROVERRIDE, LOCALE_ILANGUAGE), c.language);
    }
}

TEST(LocaleInfo, DayNamesStartOnMondayAndFollowTheLanguage)
{
    TempDevice device(WithLocale("en_US"));
    EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_SDAYNAME1), u"Monday");
    EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_SDAYNAME7), u"Sunday");
    EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_SABBREVDAYNAME3), u"Wed");
    EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_SMONTHNAME1), u"January");
    EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_SMONTHNAME1 + 11), u"December");
    EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_SABBREVMONTHNAME1 + 8), u"Sep");
    EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_S1159), u"AM");
    EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_S2359), u"PM");
    // An explicit identifier names its own locale, whatever the device's is.
    EXPECT_EQ(Info(0x0407, LOCALE_SDAYNAME1), u"Montag");
    EXPECT_EQ(Info(0x0407, LOCALE_SDAYNAME7), u"Sonntag");
    EXPECT_EQ(Info(0x0407, LOCALE_SMONTHNAME1 + 2), u"März");
    EXPECT_EQ(Info(0x0407, LOCALE_SDECIMAL), u",");
}

TEST(LocaleInfo, OrdersAndNamesDescribeTheLocale)
{
    TempDevice device(WithLocale("en_US"));
    EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_IDATE), u"0"); // month first
    EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_ITIME), u"0"); // 12-hour clock
    EXPECT_EQ(Info(0x0809, LOCALE_IDATE), u"1");
    EXPECT_EQ(Info(0x0407, LOCALE_ITIME), u"1");
    EXPECT_EQ(Info(0x0407, LOCALE_STHOUSAND), u".");
    EXPECT_EQ(Info(0x0407, LOCALE_SENGLANGUAGE), u"German");
    // Names are given in the device's language.
    EXPECT_EQ(Info(0x0407, LOCALE_SLANGUAGE), u"German (Germany)");
    EXPECT_EQ(Info(0x0809, LOCALE_SCOUNTRY), u"United Kingdom");
}

TEST(LocaleInfo, ReportsTheSizeNeededAndRefusesShortBuffersAndUnknownRequests)
{
    TempDevice device(WithLocale("en_US"));
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, nullptr, 0), 9); // "M/d/yyyy" and a null

    WCHAR exact[9];
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, exact, 9), 9);
    EXPECT_EQ(std::u16string(exact), u"M/d/yyyy");

    WCHAR shortBuffer[8] = {u'x'};
    SetLastError(0);
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, shortBuffer, 8), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));

    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, 0x7777, exact, 9), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FLAGS));
    EXPECT_EQ(GetLocaleInfoW(0x1234, LOCALE_SSHORTDATE, exact, 9), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, exact, -1), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, nullptr, 9), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST(DateFormat, UsesTheLocaleShortAndLongDates)
{
    const char16_t* shortDates[] = {u"3/5/2008", u"05/03/2008", u"05.03.2008"};
    const char16_t* longDates[] = {u"Wednesday, March 5, 2008", u"Wednesday, 5 March 2008",
                                   u"Mittwoch, 5. März 2008"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(kLocales[i].locale);
        TempDevice device(WithLocale(kLocales[i].locale));
        EXPECT_EQ(Date(LOCALE_USER_DEFAULT, 0, kAfternoon), shortDates[i]);
        EXPECT_EQ(Date(LOCALE_USER_DEFAULT, DATE_SHORTDATE, kAfternoon), shortDates[i]);
        EXPECT_EQ(Date(LOCALE_USER_DEFAULT, DATE_LONGDATE, kAfternoon), longDates[i]);
    }
}

TEST(DateFormat, FillsEveryPictureElementAndKeepsQuotedText)
{
    TempDevice device(WithLocale("en_US"));
    EXPECT_EQ(Date(LOCALE_USER_DEFAULT, 0, kAfternoon, u"d dd ddd dddd"), u"5 05 Wed Wednesday");
    EXPECT_EQ(Date(LOCALE_USER_DEFAULT, 0, kAfternoon, u"M MM MMM MMMM"), u"3 03 Mar March");
    const SYSTEMTIME early = {2005, 11, 0, 20, 0, 0, 0, 0};
    EXPECT_EQ(Date(LOCALE_USER_DEFAULT, 0, early, u"y yy yyyy"), u"5 05 2005");
    EXPECT_EQ(Date(LOCALE_USER_DEFAULT, 0, early, u"MMMM d, yyyy gg"), u"November 20, 2005 AD");
    EXPECT_EQ(Date(LOCALE_USER_DEFAULT, 0, kAfternoon, u"'Today is' dddd"), u"Today is Wednesday");
    EXPECT_EQ(Date(LOCALE_USER_DEFAULT, 0, kAfternoon, u"'It''s' d"), u"It's 5");
    // Time letters mean nothing in a date picture.
    EXPECT_EQ(Date(LOCALE_USER_DEFAULT, 0, kAfternoon, u"d h:m"), u"5 h:m");
    EXPECT_EQ(Date(0x0407, 0, kAfternoon, u"dddd d. MMMM"), u"Mittwoch 5. März");
}

TEST(DateFormat, NullDateIsTodayOnTheDeviceClock)
{
    DeviceOptions options = WithLocale("en_GB");
    options.start = "2008-06-15 09:30:00";
    TempDevice device(options);
    WCHAR buffer[32];
    ASSERT_GT(GetDateFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, buffer, 32), 0);
    EXPECT_EQ(std::u16string(buffer), u"15/06/2008");
    ASSERT_GT(GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, buffer, 32), 0);
    EXPECT_EQ(std::u16string(buffer), u"09:30:00");
}

TEST(DateFormat, RejectsFlagsWithAPictureImpossibleDatesAndShortBuffers)
{
    TempDevice device(WithLocale("en_US"));
    WCHAR buffer[32];
    EXPECT_EQ(GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &kAfternoon, u"d/M", buffer, 32), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FLAGS));
    EXPECT_EQ(
        GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE | DATE_LONGDATE, &kAfternoon, nullptr, buffer, 32),
        0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FLAGS));
    EXPECT_EQ(GetDateFormatW(LOCALE_USER_DEFAULT, 0x100, &kAfternoon, nullptr, buffer, 32), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FLAGS));

    for (SYSTEMTIME bad : {SYSTEMTIME{2007, 2, 0, 29, 0, 0, 0, 0}, SYSTEMTIME{2008, 13, 0, 1, 0, 0, 0, 0},
                           SYSTEMTIME{2008, 4, 0, 31, 0, 0, 0, 0}, SYSTEMTIME{2008, 4, 0, 0, 0, 0, 0, 0}}) {
        SetLastError(0);
        EXPECT_EQ(GetDateFormatW(LOCALE_USER_DEFAULT, 0, &bad, nullptr, buffer, 32), 0);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
    const SYSTEMTIME leapDay = {2008, 2, 0, 29, 0, 0, 0, 0};
    EXPECT_EQ(Date(LOCALE_USER_DEFAULT, 0, leapDay), u"2/29/2008");

    EXPECT_EQ(GetDateFormatW(LOCALE_USER_DEFAULT, 0, &kAfternoon, nullptr, nullptr, 0), 9); // "3/5/2008"
    EXPECT_EQ(GetDateFormatW(LOCALE_USER_DEFAULT, 0, &kAfternoon, nullptr, buffer, 9), 9);
    EXPECT_EQ(GetDateFormatW(LOCALE_USER_DEFAULT, 0, &kAfternoon, nullptr, buffer, 8), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
}

TEST(TimeFormat, TwelveHourLocaleDropsSecondsMinutesAndMarkerAsAsked)
{
    TempDevice device(WithLocale("en_US"));
    EXPECT_EQ(Time(LOCALE_USER_DEFAULT, 0, kAfternoon), u"1:05:09 PM");
    EXPECT_EQ(Time(LOCALE_USER_DEFAULT, TIME_NOSECONDS, kAfternoon), u"1:05 PM");
    EXPECT_EQ(Time(LOCALE_USER_DEFAULT, TIME_NOMINUTESORSECONDS, kAfternoon), u"1 PM");
    EXPECT_EQ(Time(LOCALE_USER_DEFAULT, TIME_NOTIMEMARKER, kAfternoon), u"1:05:09");
    EXPECT_EQ(Time(LOCALE_USER_DEFAULT, TIME_FORCE24HOURFORMAT | TIME_NOTIMEMARKER, kAfternoon), u"13:05:09");
    EXPECT_EQ(
        Time(LOCALE_USER_DEFAULT, TIME_FORCE24HOURFORMAT | TIME_NOSECONDS | TIME_NOTIMEMARKER, kAfternoon),
        u"13:05");
    const SYSTEMTIME midnight = {2008, 3, 0, 5, 0, 30, 0, 0};
    EXPECT_EQ(Time(LOCALE_USER_DEFAULT, 0, midnight), u"12:30:00 AM");
    const SYSTEMTIME noon = {2008, 3, 0, 5, 12, 0, 0, 0};
    EXPECT_EQ(Time(LOCALE_USER_DEFAULT, TIME_NOSECONDS, noon), u"12:00 PM");
}

TEST(TimeFormat, TwentyFourHourLocalesDropSecondsWithTheirSeparator)
{
    for (const char* locale : {"en_GB", "de_DE"}) {
        SCOPED_TRACE(locale);
        TempDevice device(WithLocale(locale));
        EXPECT_EQ(Time(LOCALE_USER_DEFAULT, 0, kAfternoon), u"13:05:09");
        EXPECT_EQ(Time(LOCALE_USER_DEFAULT, TIME_NOSECONDS, kAfternoon), u"13:05");
        EXPECT_EQ(Time(LOCALE_USER_DEFAULT, TIME_NOMINUTESORSECONDS, kAfternoon), u"13");
        const SYSTEMTIME morning = {2008, 3, 0, 5, 7, 4, 3, 0};
        EXPECT_EQ(Time(LOCALE_USER_DEFAULT, TIME_NOSECONDS, morning), u"07:04");
    }
}

TEST(TimeFormat, ExplicitPicturesTakeTheFlagsQuotesAndTheLocaleMarkers)
{
    TempDevice device(WithLocale("en_US"));
    EXPECT_EQ(Time(LOCALE_USER_DEFAULT, 0, kAfternoon, u"hh:mm:ss tt"), u"01:05:09 PM");
    EXPECT_EQ(Time(LOCALE_USER_DEFAULT, TIME_NOSECONDS, kAfternoon, u"hh:mm:ss tt"), u"01:05 PM");
    EXPECT_EQ(Time(LOCALE_USER_DEFAULT, TIME_NOTIMEMARKER, kAfternoon, u"tt h:mm"), u"1:05");
    EXPECT_EQ(Time(LOCALE_USER_DEFAULT, 0, kAfternoon, u"H 'o''clock' t"), u"13 o'clock P");
    EXPECT_EQ(Time(LOCALE_USER_DEFAULT, 0, kAfternoon, u"h:m:s"), u"1:5:9");
    EXPECT_EQ(Time(LOCALE_USER_DEFAULT, TIME_FORCE24HOURFORMAT, kAfternoon, u"h:mm"), u"13:05");

    // The date half of the structure is not looked at; the time half must be a real time.
    const SYSTEMTIME noDate = {0, 0, 0, 0, 13, 5, 9, 0};
    EXPECT_EQ(Time(LOCALE_USER_DEFAULT, 0, noDate), u"1:05:09 PM");
    WCHAR buffer[32];
    for (SYSTEMTIME bad :
         {SYSTEMTIME{2008, 3, 0, 5, 24, 0, 0, 0}, SYSTEMTIME{2008, 3, 0, 5, 1, 60, 0, 0},
          SYSTEMTIME{2008, 3, 0, 5, 1, 0, 60, 0}, SYSTEMTIME{2008, 3, 0, 5, 1, 0, 0, 1000}}) {
        SetLastError(0);
        EXPECT_EQ(GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &bad, nullptr, buffer, 32), 0);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
    EXPECT_EQ(GetTimeFormatW(LOCALE_USER_DEFAULT, 0x100, &kAfternoon, nullptr, buffer, 32), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FLAGS));
    EXPECT_EQ(GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &kAfternoon, nullptr, nullptr, 0), 11); // "1:05:09 PM"
    EXPECT_EQ(GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &kAfternoon, nullptr, buffer, 10), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
}

TEST(StringComparison, FollowsTheLocaleAndIgnoresCaseOnRequest)
{
    TempDevice device(WithLocale("en_US"));
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, u"Hello", -1, u"hELLO", -1), CSTR_EQUAL);
    EXPECT_NE(CompareStringW(LOCALE_USER_DEFAULT, 0, u"Hello", -1, u"hELLO", -1), CSTR_EQUAL);
    // Alphabetical, not by code unit ('B' comes before 'a' in the code chart).
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, u"apple", -1, u"Banana", -1), CSTR_LESS_THAN);
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, u"Banana", -1, u"apple", -1), CSTR_GREATER_THAN);
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, u"\u00c4rger", -1, u"Zorn", -1), CSTR_LESS_THAN);
    // Counted strings stop at their count.
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, u"abcdef", 3, u"abc", -1), CSTR_EQUAL);
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, u"abc", 2, u"abc", 3), CSTR_LESS_THAN);
    EXPECT_EQ(
        CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORENONSPACE, u"r\u00e9sum\u00e9", -1, u"resume", -1),
        CSTR_EQUAL);
    EXPECT_NE(CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORENONSPACE, u"Resume", -1, u"resume", -1),
              CSTR_EQUAL);
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORESYMBOLS, u"555-0100", -1, u"(555) 0100", -1),
              CSTR_EQUAL);
}

TEST(StringComparison, WordSortKeepsHyphenatedWordsBesideTheirPlainForm)
{
    TempDevice device(WithLocale("en_US"));
    // Word sort: "co-op" is ranked as "coop", after "coal"; string sort ranks the hyphen as a symbol.
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, u"co-op", -1, u"coal", -1), CSTR_GREATER_THAN);
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, SORT_STRINGSORT, u"co-op", -1, u"coal", -1),
              CSTR_LESS_THAN);
    EXPECT_NE(CompareStringW(LOCALE_USER_DEFAULT, 0, u"co-op", -1, u"coop", -1), CSTR_EQUAL);
}

TEST(StringComparison, RefusesMissingStringsAndUnknownFlagsOrLocales)
{
    TempDevice device(WithLocale("en_US"));
    SetLastError(0);
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, nullptr, -1, u"a", -1), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0x40000000, u"a", -1, u"a", -1), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FLAGS));
    EXPECT_EQ(CompareStringW(0x1234, 0, u"a", -1, u"a", -1), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST(StringComparison, LstrcmpIsCaseSensitiveAndLstrcmpiIsNot)
{
    TempDevice device(WithLocale("de_DE"));
    EXPECT_LT(lstrcmpW(u"apple", u"Banana"), 0);
    EXPECT_GT(lstrcmpW(u"Banana", u"apple"), 0);
    EXPECT_EQ(lstrcmpW(u"Zelle", u"Zelle"), 0);
    EXPECT_NE(lstrcmpW(u"ABC", u"abc"), 0);
    EXPECT_EQ(lstrcmpiW(u"ABC", u"abc"), 0);
    EXPECT_EQ(lstrcmpiW(u"\u00dcBER", u"\u00fcber"), 0);
    EXPECT_LT(lstrcmpiW(u"abc", u"ABD"), 0);
    EXPECT_LT(lstrcmpW(nullptr, u""), 0);
}

namespace
{

std::string SortKey(DWORD flags, const char16_t* text)
{
    const int size = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | flags, text, -1, nullptr, 0);
    EXPECT_GT(size, 0) << GetLastError();
    std::string key(size > 0 ? size : 0, '\0');
    EXPECT_EQ(LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | flags, text, -1,
                           reinterpret_cast<LPWSTR>(key.data()), size),
              size);
    return key;
}

} // namespace

TEST(SortKeys, CompareBytewiseAsTheStringsCompare)
{
    TempDevice device(WithLocale("en_US"));
    const char16_t* texts[] = {u"Hello",  u"hELLO", u"apple", u"Banana", u"co-op", u"coop",
                               u"coal",   u"Co-op", u"r\u00e9sum\u00e9", u"resume", u"555-0100", u"(555) 0100"};
    for (DWORD flags : {DWORD(0), DWORD(NORM_IGNORECASE), DWORD(NORM_IGNORENONSPACE | NORM_IGNORECASE),
                        DWORD(NORM_IGNORESYMBOLS), DWORD(SORT_STRINGSORT)}) {
        for (const char16_t* a : texts) {
            for (const char16_t* b : texts) {
                const int byKeys = SortKey(flags, a).compare(SortKey(flags, b));
                const int byStrings = CompareStringW(LOCALE_USER_DEFAULT, flags, a, -1, b, -1) - CSTR_EQUAL;
                EXPECT_EQ((byKeys > 0) - (byKeys < 0), byStrings) << flags;
            }
        }
    }
    // A counted string is keyed as far as its count.
    std::string key(64, '\0');
    const int size = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, u"abcdef", 3, reinterpret_cast<LPWSTR>(key.data()), 64);
    key.resize(size > 0 ? size : 0);
    EXPECT_EQ(key, SortKey(0, u"abc"));
}

TEST(SortKeys, RefuseShortBuffersEmptyTextsAndOtherMappings)
{
    TempDevice device(WithLocale("en_US"));
    BYTE key[2] = {};
    SetLastError(0);
    EXPECT_EQ(LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, u"Hello", -1, reinterpret_cast<LPWSTR>(key), 2), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, u"Hello", 0, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    WCHAR lower[8] = {};
    EXPECT_EQ(LCMapStringW(LOCALE_USER_DEFAULT, 0x00000100 /* LCMAP_LOWERCASE */, u"Hello", -1, lower, 8), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FLAGS));
}

TEST(CharCase, ConvertsStringsInPlaceAndSingleCharactersByValue)
{
    WCHAR text[] = u"Gr\u00fc\u00dfe, Stra\u00dfe 9";
    EXPECT_EQ(CharUpperW(text), text);
    EXPECT_EQ(std::u16string(text), u"GR\u00dc\u00dfE, STRA\u00dfE 9"); // the length never changes
    EXPECT_EQ(CharLowerW(text), text);
    EXPECT_EQ(std::u16string(text), u"gr\u00fc\u00dfe, stra\u00dfe 9");

    EXPECT_EQ(CharUpperW(MAKEINTRESOURCE(u'a')), MAKEINTRESOURCE(u'A'));
    EXPECT_EQ(CharUpperW(MAKEINTRESOURCE(0xe4)), MAKEINTRESOURCE(0xc4));
    EXPECT_EQ(CharLowerW(MAKEINTRESOURCE(u'Q')), MAKEINTRESOURCE(u'q'));
    EXPECT_EQ(CharLowerW(MAKEINTRESOURCE(u'7')), MAKEINTRESOURCE(u'7'));
}
