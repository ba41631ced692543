#include "schedule/DateTime.h"

#include <oleauto.h>

#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

using testing_support::DeviceOptions;
using testing_support::TempDevice;

namespace {

DateTime Make(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    DateTime t;
    t.FromParts(y, mo, d, h, mi, s);
    return t;
}

DateTime Raw(double value, DateTimeStatus status = DateTimeValid)
{
    DateTime t;
    t.SetValue(value, status);
    return t;
}

DateTimeSpan Seconds(double seconds) { return DateTimeSpan(seconds / 86400.0); }

DeviceOptions InLocale(const char* locale)
{
    DeviceOptions options;
    options.profile.locale = locale;
    return options;
}

std::u16string TakeLocal(LPWSTR text)
{
    std::u16string result = text ? std::u16string(text) : std::u16string(u"<null>");
    LocalFree(text);
    return result;
}

} // namespace

TEST(DateTimeValue, PartsAreValidOnlyForRealDatesAndTimes)
{
    TempDevice device;
    DateTime t;
    EXPECT_EQ(t.FromParts(2008, 2, 30, 8, 0, 0), DateTimeInvalid);
    EXPECT_EQ(t.FromParts(2008, 2, 29, 8, 0, 0), DateTimeValid);
    EXPECT_EQ(t.FromParts(2009, 4, 31, 0, 0, 0), DateTimeInvalid);
    EXPECT_EQ(t.FromParts(2009, 1, 1, 24, 0, 0), DateTimeInvalid);
    EXPECT_EQ(t.FromParts(2009, 1, 1, 23, 59, 60), DateTimeInvalid);
    EXPECT_EQ(t.FromParts(1899, 12, 30, 0, 0, 0), DateTimeValid);
    EXPECT_EQ(t.Value(), 0.0);

    DateTime d = Make(2008, 2, 29, 8, 0, 0);
    EXPECT_EQ(d.Value(), 39507.0 + 8.0 / 24);
    SYSTEMTIME st{};
    ASSERT_TRUE(d.ToSystemTime(&st));
    EXPECT_EQ(st.wDay, 29);
    EXPECT_EQ(st.wHour, 8);
    EXPECT_FALSE(Raw(1.0, DateTimeInvalid).ToSystemTime(&st));
    EXPECT_FALSE(Raw(1.0, DateTimeNull).ToSystemTime(&st));
}

TEST(DateTimeValue, EveryMinuteOfALeapDayRoundTrips)
{
    TempDevice device;
    for (int minute = 0; minute < 24 * 60; ++minute) {
        DateTime t = Make(2008, 2, 29, minute / 60, minute % 60, 0);
        ASSERT_EQ(t.Status(), DateTimeValid) << minute;
        SYSTEMTIME st{};
        ASSERT_TRUE(t.ToSystemTime(&st));
        ASSERT_EQ(st.wMonth, 2) << minute;
        ASSERT_EQ(st.wDay, 29) << minute;
        ASSERT_EQ(st.wHour * 60 + st.wMinute, minute);
        ASSERT_EQ(st.wSecond, 0) << minute;
    }
}

TEST(DateTimeValue, ComparisonsUseTheContinuousFormAndStatus)
{
    TempDevice device;
    // -1.25 is 29 December 1899 06:00 and -1.75 the same day at 18:00: the smaller number is later.
    DateTime morning = Raw(-1.25), evening = Raw(-1.75);
    EXPECT_TRUE(morning < evening);
    EXPECT_TRUE(evening > morning);
    EXPECT_TRUE(Raw(-0.5) > Raw(-1.75)); // -0.5 is 30 Dec 12:00, the same instant as 0.5
    EXPECT_FALSE(Raw(-0.5) < Raw(0.5));
    EXPECT_FALSE(Raw(-0.5) > Raw(0.5));
    EXPECT_TRUE(Raw(0.75) > Raw(-0.5));

    DateTime invalid = Raw(5.0, DateTimeInvalid), null = Raw(0.0, DateTimeNull);
    EXPECT_FALSE(invalid < morning);
    EXPECT_FALSE(invalid > morning);
    EXPECT_FALSE(morning < null);
    EXPECT_FALSE(invalid == Raw(5.0, DateTimeInvalid)); // two invalid values are never equal
    EXPECT_TRUE(null == Raw(3.0, DateTimeNull));        // two null values are
    EXPECT_FALSE(Raw(1.0) == Raw(1.0, DateTimeNull));
    EXPECT_TRUE(Raw(1.0) <= Raw(1.0));
    EXPECT_TRUE(Raw(1.0) >= Raw(0.5));
    EXPECT_FALSE(invalid <= invalid);
}

TEST(DateTimeValue, DifferencesAndSpansCrossTheEpochContinuously)
{
    TempDevice device;
    // 29 Dec 1899 18:00 (-1.75) to 30 Dec 1899 06:00 (0.25) is half a day.
    DateTimeSpan span = Raw(0.25) - Raw(-1.75);
    EXPECT_EQ(span.Value(), 0.5);
    EXPECT_EQ(span.Status(), DateTimeValid);

    DateTime back = SubtractSpan(Raw(0.25), DateTimeSpan(0.5));
    EXPECT_EQ(back.Value(), -1.75);
    DateTime forward = AddSpan(Raw(-1.75), DateTimeSpan(0.5));
    EXPECT_EQ(forward.Value(), 0.25);

    DateTime newYearsEve = Make(2008, 12, 31, 21, 15, 0);
    DateTime next = AddSpan(newYearsEve, DateTimeSpan::SpanFromParts(1, 0, 0, 0));
    SYSTEMTIME st{};
    ASSERT_TRUE(next.ToSystemTime(&st));
    EXPECT_EQ(st.wYear, 2009);
    EXPECT_EQ(st.wMonth, 1);
    EXPECT_EQ(st.wDay, 1);
    EXPECT_EQ(st.wHour, 21);
    EXPECT_EQ(st.wMinute, 15);

    // AddSpan makes a valid value; in-place addition keeps what was there.
    EXPECT_EQ(AddSpan(Raw(1.0, DateTimeInvalid), DateTimeSpan(1.0)).Status(), DateTimeValid);
    DateTime kept = Raw(1.0, DateTimeInvalid);
    kept += DateTimeSpan(1.0);
    EXPECT_EQ(kept.Status(), DateTimeInvalid);
    EXPECT_EQ(kept.Value(), 2.0);
}

TEST(DateTimeValue, SpansAreInvalidBeyondTheirRange)
{
    EXPECT_EQ(DateTimeSpan(3615897.0).Status(), DateTimeValid);
    EXPECT_EQ(DateTimeSpan(-3615897.0).Status(), DateTimeValid);
    EXPECT_EQ(DateTimeSpan(3615897.0000001).Status(), DateTimeInvalid);
    EXPECT_EQ(DateTimeSpan(-3615897.5).Status(), DateTimeInvalid);
    EXPECT_EQ((Raw(2000000.0) - Raw(-2000000.0)).Status(), DateTimeInvalid);
    EXPECT_EQ(DateTimeSpan::SpanFromParts(3615898, 0, 0, 0).Status(), DateTimeInvalid);
}

TEST(DateTimeValue, SpanPartsFollowTheirOrderOfOperations)
{
    EXPECT_EQ(DateTimeSpan::SpanFromParts(1, 0, 0, 0).Value(), 1.0);
    const double second = 1.0 / 86400;
    EXPECT_EQ(DateTimeSpan::SpanFromParts(0, 0, 0, 10).Value(), 10 * second); // a product, not 10/86400
    double expected = ((30 * (1.0 / 1440) + 15 * second) + 2 * (1.0 / 24)) + 3;
    EXPECT_EQ(DateTimeSpan::SpanFromParts(3, 2, 30, 15).Value(), expected);
    EXPECT_EQ(std::bit_cast<uint64_t>(0.5 / 86400), 0x3ED845C8A0CE5129ull);
}

TEST(DateTimeValue, WholeSecondsAndDaysRoundByHalfASecond)
{
    EXPECT_EQ(Seconds(9.6).WholeSeconds(), 10.0);
    EXPECT_EQ(Seconds(-9.6).WholeSeconds(), -10.0);
    EXPECT_EQ(Seconds(0.4).WholeSeconds(), 0.0);
    EXPECT_EQ(Seconds(10.4).WholeSeconds(), 10.0);
    EXPECT_EQ(DateTimeSpan(1.0 - 0.3 / 86400).WholeDays(), 1.0);
    EXPECT_EQ(DateTimeSpan(0.99).WholeDays(), 0.0);
    EXPECT_EQ(DateTimeSpan(-1.5).WholeDays(), -1.0);
    // Beyond 32 bits the truncation gives the processor's indefinite value, never undefined behaviour.
    EXPECT_EQ(DateTimeSpan(30000.0).WholeSeconds(), -2147483648.0);
}

TEST(DateTimeText, PatternNamesTheWeekdayOrSaysWhyNot)
{
    TempDevice device;
    DateTime monday = Make(2008, 6, 16, 9, 0, 0);
    EXPECT_EQ(monday.FormatPattern(u"%A"), u"Monday");
    EXPECT_EQ(Raw(1.0, DateTimeInvalid).FormatPattern(u"%A"), u"Invalid DateTime");
    EXPECT_EQ(Raw(1.0, DateTimeNull).FormatPattern(u"%A"), u"");
    EXPECT_EQ(monday.FormatPattern(u"%d.%m.%Y %H:%M"), u"16.06.2008 09:00");
}

TEST(DateTimeText, PatternUsesTheDeviceLanguage)
{
    TempDevice device(InLocale("de_DE"));
    EXPECT_EQ(Make(2008, 6, 16, 9, 0, 0).FormatPattern(u"%A"), u"Montag");
}

TEST(DateTimeText, LocaleTextWithAndWithoutTheDate)
{
    struct Case {
        const char* locale;
        const char16_t* full;
        const char16_t* dateOnly;
    };
    for (const Case& c : {Case{"en_US", u"6/16/2008 2:05:09 PM", u"6/16/2008"},
                          Case{"en_GB", u"16/06/2008 14:05:09", u"16/06/2008"},
                          Case{"de_DE", u"16.06.2008 14:05:09", u"16.06.2008"}}) {
        TempDevice device(InLocale(c.locale));
        DateTime t = Make(2008, 6, 16, 14, 5, 9);
        EXPECT_EQ(t.FormatLocale(0, LOCALE_USER_DEFAULT), c.full) << c.locale;
        EXPECT_EQ(t.FormatLocale(VAR_DATEVALUEONLY, LOCALE_USER_DEFAULT), c.dateOnly) << c.locale;
        EXPECT_EQ(Raw(1.0, DateTimeInvalid).FormatLocale(0, LOCALE_USER_DEFAULT), u"Invalid DateTime");
        EXPECT_EQ(Raw(1.0, DateTimeNull).FormatLocale(0, LOCALE_USER_DEFAULT), u"");
    }
}

TEST(DateTimeText, LocalTimeTextLeavesOutSecondsInBothClockStyles)
{
    SYSTEMTIME late{2008, 6, 1, 16, 23, 7, 45, 0};
    {
        TempDevice device(InLocale("en_US"));
        LPWSTR text = nullptr;
        ASSERT_EQ(LocalTimeText(&late, TIME_NOSECONDS, &text), S_OK);
        EXPECT_EQ(TakeLocal(text), u"11:07 PM");
        ASSERT_EQ(LocalDateText(&late, DATE_SHORTDATE, &text), S_OK);
        EXPECT_EQ(TakeLocal(text), u"6/16/2008");
    }
    {
        TempDevice device(InLocale("de_DE"));
        LPWSTR text = nullptr;
        ASSERT_EQ(LocalTimeText(&late, TIME_NOSECONDS, &text), S_OK);
        EXPECT_EQ(TakeLocal(text), u"23:07");
    }
}

TEST(DateTimeText, LocalTextRejectsBadArgumentsAndLeavesNoText)
{
    TempDevice device;
    LPWSTR text = reinterpret_cast<LPWSTR>(1);
    EXPECT_EQ(LocalTimeText(nullptr, 0, &text), E_INVALIDARG);
    SYSTEMTIME st{2008, 6, 1, 16, 23, 7, 45, 0};
    EXPECT_EQ(LocalTimeText(&st, 0, nullptr), E_INVALIDARG);
    SYSTEMTIME impossible{2008, 13, 0, 40, 0, 0, 0, 0};
    EXPECT_EQ(LocalDateText(&impossible, DATE_SHORTDATE, &text), E_FAIL);
    EXPECT_EQ(text, nullptr);
}
