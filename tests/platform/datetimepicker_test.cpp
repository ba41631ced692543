// The date and time picker: its value, its formats in the user's locale, and editing by keys.
#include "ControlHost.h"

using control_host::ControlTest;
using control_host::g_recorder;

namespace {

class DateTimePicker : public ControlTest {
protected:
    HWND MakePicker(DWORD style = DTS_UPDOWN, int id = 654)
    {
        INITCOMMONCONTROLSEX init{sizeof init, ICC_DATE_CLASSES};
        EXPECT_TRUE(InitCommonControlsEx(&init));
        return Create(DATETIMEPICK_CLASS, style, id);
    }

    static SYSTEMTIME Date(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0)
    {
        SYSTEMTIME time{};
        time.wYear = year;
        time.wMonth = month;
        time.wDay = day;
        time.wHour = hour;
        time.wMinute = minute;
        return time;
    }

    static SYSTEMTIME Value(HWND picker)
    {
        SYSTEMTIME time{};
        EXPECT_EQ(SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)), GDT_VALID);
        return time;
    }
};

} // namespace

TEST_F(DateTimePicker, StartsAtTheCurrentLocalTimeInTheLocalesShortDate)
{
    HWND picker = MakePicker(DTS_SHORTDATEFORMAT);
    ASSERT_NE(picker, nullptr);
    SYSTEMTIME now{}, value = Value(picker);
    GetLocalTime(&now);
    EXPECT_EQ(value.wYear, now.wYear);
    EXPECT_EQ(value.wMonth, now.wMonth);
    EXPECT_EQ(value.wDay, now.wDay);
    EXPECT_EQ(value.wHour, now.wHour);

    WCHAR expected[64] = {};
    ASSERT_GT(GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &value, nullptr, expected, 64), 0);
    EXPECT_EQ(Text(picker), std::u16string(expected));
}

TEST_F(DateTimePicker, SetAndGetValidatesTheDateAndShowsItInTheCustomFormat)
{
    HWND picker = MakePicker();
    EXPECT_TRUE(SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(u"dddd, MMMM dd, yyyy")));
    SYSTEMTIME leapDay = Date(2008, 2, 29, 14, 5);
    leapDay.wDayOfWeek = 3; // wrong on purpose: the picker works it out
    EXPECT_TRUE(SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&leapDay)));
    EXPECT_EQ(Text(picker), u"Friday, February 29, 2008");
    SYSTEMTIME value = Value(picker);
    EXPECT_EQ(value.wDayOfWeek, 5);
    EXPECT_EQ(value.wHour, 14);
    EXPECT_EQ(value.wMinute, 5);

    SYSTEMTIME notADate = Date(2009, 2, 29);
    EXPECT_FALSE(SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&notADate)));
    EXPECT_EQ(Value(picker).wYear, 2008);
    // "No date" only for DTS_SHOWNONE.
    EXPECT_FALSE(SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_NONE, 0));

    SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(u"h:mm tt"));
    EXPECT_EQ(Text(picker), u"2:05 PM");
    SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(u"'Due 'ddd d MMM yy', at' HH:mm"));
    EXPECT_EQ(Text(picker), u"Due Fri 29 Feb 08, at 14:05");
    SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(u"M/d/yyyy h:mm tt"));
    EXPECT_EQ(Text(picker), u"2/29/2008 2:05 PM");
    EXPECT_EQ(g_recorder.Notifies(DTN_DATETIMECHANGE), 0); // the program's own changes are not reported

    HWND optional = MakePicker(DTS_SHOWNONE, 655);
    EXPECT_TRUE(SendMessageW(optional, DTM_SETSYSTEMTIME, GDT_NONE, 0));
    SYSTEMTIME untouched{};
    EXPECT_EQ(SendMessageW(optional, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&untouched)), GDT_NONE);
}

TEST_F(DateTimePicker, KeysStepTheChosenFieldRoundInsideItsRangeAcrossAMonthEnd)
{
    HWND picker = MakePicker();
    SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(u"M/d/yyyy h:mm tt"));
    SYSTEMTIME endOfJanuary = Date(2008, 1, 31, 23, 59);
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&endOfJanuary));

    Press(picker, VK_UP); // the month, the first field: February has no 31st
    EXPECT_EQ(Text(picker), u"2/29/2008 11:59 PM");
    Press(picker, VK_RIGHT);
    Press(picker, VK_UP); // the day steps round to the 1st of the same month
    EXPECT_EQ(Text(picker), u"2/1/2008 11:59 PM");
    Press(picker, VK_DOWN);
    EXPECT_EQ(Text(picker), u"2/29/2008 11:59 PM");
    Press(picker, VK_RIGHT);
    Press(picker, VK_UP); // a year without 29 February
    EXPECT_EQ(Text(picker), u"2/28/2009 11:59 PM");

    Press(picker, VK_RIGHT);
    Press(picker, VK_UP); // the hour steps from 11 to 12 and keeps its PM
    EXPECT_EQ(Text(picker), u"2/28/2009 12:59 PM");
    Press(picker, VK_RIGHT);
    Press(picker, VK_UP); // minutes round from 59 to 00 without touching the hour
    EXPECT_EQ(Text(picker), u"2/28/2009 12:00 PM");
    Press(picker, VK_RIGHT);
    Press(picker, VK_UP);
    EXPECT_EQ(Text(picker), u"2/28/2009 12:00 AM");
    Press(picker, VK_RIGHT); // from the last field round to the month
    Press(picker, VK_DOWN);
    EXPECT_EQ(Text(picker), u"1/28/2009 12:00 AM");

    SYSTEMTIME value = Value(picker);
    EXPECT_EQ(value.wMonth, 1);
    EXPECT_EQ(value.wDay, 28);
    EXPECT_EQ(value.wHour, 0);
    EXPECT_EQ(value.wMinute, 0);
    EXPECT_EQ(value.wDayOfWeek, 3);

    auto changes = g_recorder.Of(WM_NOTIFY, DTN_DATETIMECHANGE);
    ASSERT_EQ(changes.size(), 8u);
    EXPECT_EQ(changes[0].id, 654);
    EXPECT_EQ(changes[0].dateTime.dwFlags, static_cast<DWORD>(GDT_VALID));
    EXPECT_EQ(changes[0].dateTime.st.wMonth, 2);
    EXPECT_EQ(changes[0].dateTime.st.wDay, 29);
}

TEST_F(DateTimePicker, RangeLimitsRefuseValuesAndKeySteps)
{
    HWND picker = MakePicker();
    SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(u"d MMM yyyy"));
    SYSTEMTIME limits[2] = {Date(2008, 6, 1), Date(2008, 6, 30, 23, 59)};
    EXPECT_TRUE(SendMessageW(picker, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, reinterpret_cast<LPARAM>(limits)));
    SYSTEMTIME inside = Date(2008, 6, 30), outside = Date(2008, 7, 1);
    EXPECT_TRUE(SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&inside)));
    EXPECT_FALSE(SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&outside)));

    Press(picker, VK_RIGHT); // the month field
    Press(picker, VK_UP);    // July is outside the range: nothing changes
    EXPECT_EQ(Text(picker), u"30 Jun 2008");
    EXPECT_EQ(g_recorder.Notifies(DTN_DATETIMECHANGE), 0);

    SYSTEMTIME read[2] = {};
    EXPECT_EQ(SendMessageW(picker, DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(read)), GDTR_MIN | GDTR_MAX);
    EXPECT_EQ(read[1].wDay, 30);
}

TEST_F(DateTimePicker, TypedDigitsFillEachFieldAndMoveOnWhenItIsComplete)
{
    HWND picker = MakePicker();
    SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(u"M/d/yyyy HH:mm"));
    SYSTEMTIME start = Date(2008, 6, 15, 9, 30);
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&start));

    Type(picker, u"12"); // the month, complete after two digits
    Type(picker, u"4");  // no day starts with 4 and goes on: the day is complete at once
    EXPECT_EQ(Text(picker), u"12/4/2008 09:30");
    Type(picker, u"2009");
    Type(picker, u"7"); // hours above 23 can't follow: complete
    Type(picker, u"5x9");
    EXPECT_EQ(Text(picker), u"12/4/2009 07:59");
    SYSTEMTIME value = Value(picker);
    EXPECT_EQ(value.wYear, 2009);
    EXPECT_EQ(value.wDayOfWeek, 5);

    // The complete minutes moved the editing round to the month. A number the field can't take
    // leaves it as it was and completes it.
    Type(picker, u"1");
    Type(picker, u"9");
    EXPECT_EQ(Text(picker), u"1/4/2009 07:59");
    // Partial years are not applied: 1, 19 and 199 are no years of the device.
    Press(picker, VK_RIGHT); // from the day to the year
    Type(picker, u"199");
    EXPECT_EQ(Text(picker), u"1/4/2009 07:59");
    Type(picker, u"9");
    EXPECT_EQ(Text(picker), u"1/4/1999 07:59");
    EXPECT_EQ(g_recorder.Notifies(DTN_DATETIMECHANGE), 9);

    // AM or PM takes the first letter of either marker, in either case, and nothing else.
    SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(u"tt h:mm"));
    Type(picker, u"p");
    EXPECT_EQ(Text(picker), u"PM 7:59");
    Type(picker, u"x1P");
    EXPECT_EQ(Text(picker), u"PM 7:59");
    Type(picker, u"A");
    EXPECT_EQ(Text(picker), u"AM 7:59");
    EXPECT_EQ(g_recorder.Notifies(DTN_DATETIMECHANGE), 11);
}
