#include <windows.h>
#include <oleauto.h>

#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <string>

using testing_support::DeviceOptions;
using testing_support::TempDevice;

namespace
{

// Day numbers counted independently of the code under test (proleptic Gregorian, from 30 Dec 1899).
constexpr double kFirstDay = -53688; // 1 January 1753, the device's first variant date
constexpr double kLastDay = 65380;   // 31 December 2078, its last
constexpr double kLeapDay2008 = 39507;
constexpr double kSecond = 1.0 / 86400;

SYSTEMTIME ToSystemTime(double date)
{
    SYSTEMTIME st = {};
    EXPECT_TRUE(VariantTimeToSystemTime(date, &st)) << "date " << date;
    return st;
}

double ToVariant(SYSTEMTIME st)
{
    double date = 12345.678;
    EXPECT_TRUE(SystemTimeToVariantTime(&st, &date));
    return date;
}

// "YYYY-MM-DD HH:MM:SS.mmm weekday"
std::string Text(const SYSTEMTIME& st)
{
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d %d", st.wYear, st.wMonth, st.wDay,
                  st.wHour, st.wMinute, st.wSecond, st.wMilliseconds, st.wDayOfWeek);
    return text;
}

DeviceOptions WithLocale(const char* locale)
{
    DeviceOptions options;
    options.profile.locale = locale;
    return options;
}

std::u16string BstrText(DATE date, LCID lcid, ULONG flags)
{
    BSTR text = nullptr;
    const HRESULT hr = VarBstrFromDate(date, lcid, flags, &text);
    EXPECT_EQ(hr, S_OK) << "date " << date;
    if (!text) return u"(null)";
    std::u16string result(text, SysStringLen(text));
    EXPECT_EQ(result.size(), std::char_traits<char16_t>::length(text));
    SysFreeString(text);
    return result;
}

} // namespace

TEST(VariantDate, ZeroIsMidnightOnThirtiethOfDecember1899)
{
    EXPECT_EQ(Text(ToSystemTime(0.0)), "1899-12-30 00:00:00.000 6"); // a Saturday
    EXPECT_EQ(Text(ToSystemTime(2.0)), "1900-01-01 00:00:00.000 1");
    EXPECT_EQ(Text(ToSystemTime(2.5)), "1900-01-01 12:00:00.000 1");
    EXPECT_EQ(Text(ToSystemTime(3.25)), "1900-01-02 06:00:00.000 2");
    EXPECT_EQ(Text(ToSystemTime(36526.75)), "2000-01-01 18:00:00.000 6");
    EXPECT_DOUBLE_EQ(ToVariant({1899, 12, 0, 30, 0, 0, 0, 0}), 0.0);
    EXPECT_DOUBLE_EQ(ToVariant({1900, 1, 0, 1, 12, 0, 0, 0}), 2.5);
    EXPECT_DOUBLE_EQ(ToVariant({2000, 1, 0, 1, 18, 0, 0, 0}), 36526.75);
}

TEST(VariantDate, NegativeDatesCountDaysBackwardWhileTheTimeRunsForward)
{
    EXPECT_EQ(Text(ToSystemTime(-1.0)), "1899-12-29 00:00:00.000 5");
    EXPECT_EQ(Text(ToSystemTime(-1.25)), "1899-12-29 06:00:00.000 5");
    EXPECT_EQ(Text(ToSystemTime(-2.75)), "1899-12-28 18:00:00.000 4");
    EXPECT_EQ(Text(ToSystemTime(-0.5)), "1899-12-30 12:00:00.000 6"); // day 0 either way
    EXPECT_DOUBLE_EQ(ToVariant({1899, 12, 0, 29, 6, 0, 0, 0}), -1.25);
    EXPECT_DOUBLE_EQ(ToVariant({1899, 12, 0, 28, 18, 0, 0, 0}), -2.75);
    EXPECT_DOUBLE_EQ(ToVariant({1800, 3, 0, 1, 0, 0, 0, 0}), -36463.0); // 1800 had no 29 February
    EXPECT_EQ(Text(ToSystemTime(-36464.5)), "1800-02-28 12:00:00.000 5");
}

TEST(VariantDate, LeapDaysAreCountedAndImpossibleDatesRefused)
{
    EXPECT_DOUBLE_EQ(ToVariant({2008, 2, 0, 29, 12, 0, 0, 0}), kLeapDay2008 + 0.5);
    EXPECT_EQ(Text(ToSystemTime(kLeapDay2008)), "2008-02-29 00:00:00.000 5");
    EXPECT_EQ(Text(ToSystemTime(kLeapDay2008 + 1)), "2008-03-01 00:00:00.000 6");
    double date = 0;
    for (SYSTEMTIME bad : {SYSTEMTIME{1900, 2, 0, 29, 0, 0, 0, 0}, SYSTEMTIME{2007, 2, 0, 29, 0, 0, 0, 0},
                           SYSTEMTIME{2008, 13, 0, 1, 0, 0, 0, 0}, SYSTEMTIME{2008, 1, 0, 1, 24, 0, 0, 0},
                           SYSTEMTIME{2008, 1, 0, 1, 0, 60, 0, 0}, SYSTEMTIME{2008, 1, 0, 0, 0, 0, 0, 0}})
        EXPECT_FALSE(SystemTimeToVariantTime(&bad, &date)) << Text(bad);
}

TEST(VariantDate, TheDeviceRangeRunsFrom1753To2078Inclusive)
{
    EXPECT_EQ(Text(ToSystemTime(kFirstDay)), "1753-01-01 00:00:00.000 1");
    EXPECT_EQ(Text(ToSystemTime(kFirstDay - 0.5)), "1753-01-01 12:00:00.000 1");
    EXPECT_EQ(Text(ToSystemTime(kLastDay)), "2078-12-31 00:00:00.000 6");
    EXPECT_EQ(Text(ToSystemTime(kLastDay + 86399 * kSecond)), "2078-12-31 23:59:59.000 6");
    EXPECT_DOUBLE_EQ(ToVariant({1753, 1, 0, 1, 0, 0, 0, 0}), kFirstDay);
    EXPECT_DOUBLE_EQ(ToVariant({2078, 12, 0, 31, 0, 0, 0, 0}), kLastDay);

    SYSTEMTIME st = {};
    EXPECT_FALSE(VariantTimeToSystemTime(kFirstDay - 1, &st));
    EXPECT_FALSE(VariantTimeToSystemTime(kLastDay + 1, &st));
    EXPECT_FALSE(VariantTimeToSystemTime(2958465.0, &st)); // 31 December 9999, the desktop's limit
    EXPECT_FALSE(VariantTimeToSystemTime(-657434.0, &st)); // 1 January 100, likewise
    // The last second of the range, rounded up, leaves it.
    EXPECT_FALSE(VariantTimeToSystemTime(kLastDay + 86399.6 * kSecond, &st));
    double date = 0;
    SYSTEMTIME before = {1752, 12, 0, 31, 23, 59, 59, 0}, after = {2079, 1, 0, 1, 0, 0, 0, 0};
    EXPECT_FALSE(SystemTimeToVariantTime(&before, &date));
    EXPECT_FALSE(SystemTimeToVariantTime(&after, &date));

    UDATE unpacked = {};
    EXPECT_EQ(VarUdateFromDate(kLastDay + 1, 0, &unpacked), E_INVALIDARG);
    unpacked.st = after;
    EXPECT_EQ(VarDateFromUdate(&unpacked, 0, &date), E_INVALIDARG);
}

TEST(VariantDate, FractionsOfASecondRoundToTheNearestSecond)
{
    const double noon = kLeapDay2008 + 0.5;
    EXPECT_EQ(Text(ToSystemTime(noon + 0.4 * kSecond)), "2008-02-29 12:00:00.000 5");
    EXPECT_EQ(Text(ToSystemTime(noon + 0.6 * kSecond)), "2008-02-29 12:00:01.000 5");
    EXPECT_EQ(Text(ToSystemTime(noon - 0.4 * kSecond)), "2008-02-29 12:00:00.000 5");
    // Rounding up across midnight moves to the next day, also where days count backward.
    EXPECT_EQ(Text(ToSystemTime(kLeapDay2008 + 86399.7 * kSecond)), "2008-03-01 00:00:00.000 6");
    EXPECT_EQ(Text(ToSystemTime(-1 - 86399.7 * kSecond)), "1899-12-30 00:00:00.000 6");
    EXPECT_EQ(Text(ToSystemTime(-2 - 86399.7 * kSecond)), "1899-12-29 00:00:00.000 5");
    // Milliseconds going in are ignored.
    EXPECT_DOUBLE_EQ(ToVariant({2008, 2, 0, 29, 12, 0, 0, 999}), noon);
}

TEST(VariantDate, UnpackedDatesCarryTheDayOfWeekAndYear)
{
    UDATE unpacked = {};
    ASSERT_EQ(VarUdateFromDate(kLeapDay2008 + 0.75, 0, &unpacked), S_OK);
    EXPECT_EQ(Text(unpacked.st), "2008-02-29 18:00:00.000 5");
    EXPECT_EQ(unpacked.wDayOfYear, 60);
    ASSERT_EQ(VarUdateFromDate(kLastDay, 0, &unpacked), S_OK);
    EXPECT_EQ(unpacked.wDayOfYear, 365);
    ASSERT_EQ(VarUdateFromDate(36526.0, 0, &unpacked), S_OK);
    EXPECT_EQ(unpacked.wDayOfYear, 1);
    ASSERT_EQ(VarUdateFromDate(-1.25, 0, &unpacked), S_OK);
    EXPECT_EQ(Text(unpacked.st), "1899-12-29 06:00:00.000 5");
    EXPECT_EQ(unpacked.wDayOfYear, 363);
    EXPECT_EQ(VarUdateFromDate(0.0, VAR_CALENDAR_HIJRI, &unpacked), E_INVALIDARG);
    EXPECT_EQ(VarUdateFromDate(0.0, 0, nullptr), E_INVALIDARG);

    DATE date = 0;
    unpacked = {};
    unpacked.st = {2008, 2, 3, 29, 18, 0, 0, 0};
    unpacked.wDayOfYear = 1; // ignored, as is the day of the week
    ASSERT_EQ(VarDateFromUdate(&unpacked, 0, &date), S_OK);
    EXPECT_DOUBLE_EQ(date, kLeapDay2008 + 0.75);
}

TEST(VariantDate, PackingMendsDaysButNotMonths)
{
    auto pack = [](WORD year, WORD month, WORD day, DATE* date) {
        UDATE unpacked = {};
        unpacked.st = {year, month, 0, day, 0, 0, 0, 0};
        return VarDateFromUdate(&unpacked, 0, date);
    };
    DATE date = 0, expected = 0;
    ASSERT_EQ(pack(2001, 2, 29, &date), S_OK); // runs into March
    ASSERT_EQ(pack(2001, 3, 1, &expected), S_OK);
    EXPECT_DOUBLE_EQ(date, expected);
    ASSERT_EQ(pack(2001, 2, 0, &date), S_OK); // the last day of January
    ASSERT_EQ(pack(2001, 1, 31, &expected), S_OK);
    EXPECT_DOUBLE_EQ(date, expected);
    EXPECT_EQ(pack(2001, 13, 1, &date), E_INVALIDARG);
    EXPECT_EQ(pack(2001, 0, 1, &date), E_INVALIDARG);
    EXPECT_EQ(pack(2001, 1, 32, &date), E_INVALIDARG);
    EXPECT_EQ(pack(1753, 1, 0, &date), E_INVALIDARG); // mended into 1752, out of range
}

TEST(VariantDate, TextUsesTheLocaleShortDateAndTime)
{
    struct Case {
        const char* locale;
        const char16_t* both;
        const char16_t* dateOnly;
        const char16_t* timeOnly;
        const char16_t* zero;
    };
    const Case cases[] = {
        {"en_US", u"2/29/2008 1:30:05 PM", u"2/29/2008", u"1:30:05 PM", u"12:00:00 AM"},
        {"en_GB", u"29/02/2008 13:30:05", u"29/02/2008", u"13:30:05", u"00:00:00"},
        {"de_DE", u"29.02.2008 13:30:05", u"29.02.2008", u"13:30:05", u"00:00:00"},
    };
    const double afternoon = kLeapDay2008 + (13 * 3600 + 30 * 60 + 5) * kSecond;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        TempDevice device(WithLocale(c.locale));
        EXPECT_EQ(BstrText(afternoon, LOCALE_USER_DEFAULT, 0), c.both);
        EXPECT_EQ(BstrText(afternoon, LOCALE_USER_DEFAULT, VAR_DATEVALUEONLY), c.dateOnly);
        EXPECT_EQ(BstrText(afternoon, LOCALE_USER_DEFAULT, VAR_TIMEVALUEONLY), c.timeOnly);
        // Midnight leaves the time out; day 0 leaves the date out; 0.0 alone still shows its time.
        EXPECT_EQ(BstrText(kLeapDay2008, LOCALE_USER_DEFAULT, 0), c.dateOnly);
        EXPECT_EQ(BstrText(afternoon - kLeapDay2008, LOCALE_USER_DEFAULT, 0), c.timeOnly);
        EXPECT_EQ(BstrText(0.0, LOCALE_USER_DEFAULT, 0), c.zero);
    }
}

TEST(VariantDate, TextHonoursAnExplicitLocaleAndRefusesBadInput)
{
    TempDevice device(WithLocale("en_US"));
    EXPECT_EQ(BstrText(kLeapDay2008 + 0.5, 0x0407, 0), u"29.02.2008 12:00:00");
    EXPECT_EQ(BstrText(0.0, LOCALE_USER_DEFAULT, VAR_DATEVALUEONLY), u"12/30/1899");
    EXPECT_EQ(BstrText(-1.25, LOCALE_USER_DEFAULT, 0), u"12/29/1899 6:00:00 AM");

    BSTR text = reinterpret_cast<BSTR>(0x1);
    EXPECT_EQ(VarBstrFromDate(kLastDay + 1, LOCALE_USER_DEFAULT, 0, &text), E_INVALIDARG);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(VarBstrFromDate(0.0, 0x1234, 0, &text), E_INVALIDARG);
    EXPECT_EQ(VarBstrFromDate(0.0, LOCALE_USER_DEFAULT, VAR_DATEVALUEONLY | VAR_TIMEVALUEONLY, &text),
              E_INVALIDARG);
    EXPECT_EQ(VarBstrFromDate(0.0, LOCALE_USER_DEFAULT, 0, nullptr), E_INVALIDARG);
}
