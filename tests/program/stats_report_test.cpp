#include "stats/StatsReport.h"

#include "cemapi/SmsDevice.h"
#include "device/Clock.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using testing_support::DeviceOptions;
using testing_support::TempDevice;

namespace
{

DeviceOptions Options(const char* locale, const char* timeZone = "UTC")
{
    DeviceOptions options; // the clock stands at Sunday 2008-06-15 09:30:00
    options.profile.locale = locale;
    options.profile.timeZone = timeZone;
    return options;
}

SYSTEMTIME Civil(const std::string& text)
{
    SYSTEMTIME st = {};
    int y, mo, d, h, mi, s;
    std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s);
    st.wYear = y, st.wMonth = mo, st.wDay = d, st.wHour = h, st.wMinute = mi, st.wSecond = s;
    return st;
}

DateTime At(const std::string& text)
{
    return DateTime::FromSystemTime(Civil(text));
}

// A text message arriving at a device-local time.
void Receive(const std::u16string& from, const std::string& at)
{
    int64_t local = testing_support::CivilTicks(at);
    device::sms::Receive({{from, u"+15550199"}, u"Hello", local - device::LocalOffsetAtLocal(local)});
}

// A message in the sent folder, as the program writes one; without an address it has no recipient.
void Sent(const std::string& at, LPCWSTR name, LPCWSTR address)
{
    SmsStore store;
    ASSERT_EQ(store.Open(), S_OK);
    SYSTEMTIME st = Civil(at);
    SmsRecord record = {kSentFolder, name, address, nullptr, nullptr, TEXT("Hi"), &st, 1};
    ASSERT_EQ(store.WriteMessage(record), S_OK);
}

std::u16string Text(const TallyTop& top)
{
    return top.text.value_or(u"<none>");
}

std::vector<std::u16string> Texts(std::span<const TallyEntry> table)
{
    std::vector<std::u16string> texts;
    for (const TallyEntry& entry : table)
        texts.push_back(entry.text);
    return texts;
}

std::vector<DWORD> Counts(std::span<const TallyEntry> table)
{
    std::vector<DWORD> counts;
    for (const TallyEntry& entry : table)
        counts.push_back(entry.count);
    return counts;
}

class Report : public testing::Test
{
  protected:
    explicit Report(DeviceOptions options = Options("en_US")) : device(options) {}
    void SetUp() override { ASSERT_EQ(report.Prepare(), S_OK); }

    void Period(const std::string& first, const std::string& last)
    {
        ASSERT_EQ(report.SetPeriod(At(first + " 12:00:00"), At(last + " 12:00:00")), S_OK);
    }
    std::span<const TallyEntry> Table(DWORD kind) { return *report.TableByKind(kind); }

    TempDevice device;
    StatsReport report; // after the device: it reads the device clock
};

class ReportInBerlin : public Report
{
  protected:
    ReportInBerlin() : Report(Options("de_DE", "Europe/Berlin")) {}
};

} // namespace

TEST_F(Report, StartsOnTheLastSevenDaysKeepsOnlyTheDatesOfAPeriodAndRefusesOneRunningBackwards)
{
    EXPECT_TRUE(report.Start() == At("2008-06-09 00:00:00"));
    EXPECT_TRUE(report.End() == At("2008-06-15 23:59:59"));
    EXPECT_EQ(report.DaysInPeriod(), 7);

    ASSERT_EQ(report.SetPeriod(At("2008-02-28 17:45:10"), At("2008-03-01 00:00:01")), S_OK);
    EXPECT_TRUE(report.Start() == At("2008-02-28 00:00:00"));
    EXPECT_TRUE(report.End() == At("2008-03-01 23:59:59"));
    EXPECT_EQ(report.DaysInPeriod(), 3);

    DateTime invalid;
    invalid.SetValue(0, DateTimeInvalid);
    EXPECT_EQ(report.SetPeriod(At("2008-03-02 00:00:00"), At("2008-03-01 23:59:59")), E_INVALIDARG);
    EXPECT_EQ(report.SetPeriod(invalid, At("2008-03-01 00:00:00")), E_INVALIDARG);
    EXPECT_EQ(report.SetPeriod(At("2008-03-01 00:00:00"), invalid), E_INVALIDARG);
    EXPECT_TRUE(report.Start() == At("2008-02-28 00:00:00"));
    EXPECT_EQ(report.DaysInPeriod(), 3);

    ASSERT_EQ(report.SetPeriod(At("2008-03-01 23:00:00"), At("2008-03-01 01:00:00")), S_OK);
    EXPECT_EQ(report.DaysInPeriod(), 1);
}

TEST_F(Report, NamesTheWeekdaysFromSundayAndLabelsTheHoursInTwelveHourTime)
{
    EXPECT_EQ(Texts(Table(StatsWeekdays)),
              (std::vector<std::u16string>{u"Sunday", u"Monday", u"Tuesday", u"Wednesday", u"Thursday",
                                           u"Friday", u"Saturday"}));
    auto hours = Table(StatsHours);
    ASSERT_EQ(hours.size(), 24u);
    EXPECT_EQ(hours[0].text, u"12:00 AM-1:00 AM");
    EXPECT_EQ(hours[13].text, u"1:00 PM-2:00 PM");
    EXPECT_EQ(hours[23].text, u"11:00 PM-12:00 AM");
    EXPECT_FALSE(report.TableByKind(3).has_value());
}

TEST_F(Report, AnEmptyPeriodCountsNothingAndHasNoTops)
{
    Receive(u"Anna", "2008-06-08 23:59:59");
    Receive(u"Anna", "2008-06-16 00:00:00");
    // Times the device's dates can't hold (1753 to 2078) fall in no period.
    Receive(u"Anna", "2100-01-01 10:00:00");
    Receive(u"Anna", "1700-01-01 10:00:00");
    ASSERT_EQ(report.Run(kReceivedFolder), S_OK);
    EXPECT_EQ(report.Total(), 0u);
    EXPECT_EQ(report.AveragePerDay(), 0u);
    for (const TallyTop* top : {&report.TopContact(), &report.TopWeekday(), &report.TopHour()}) {
        EXPECT_FALSE(top->text.has_value());
        EXPECT_EQ(top->count, 0u);
    }
    EXPECT_TRUE(Table(StatsContacts).empty());
    EXPECT_EQ(Counts(Table(StatsWeekdays)), std::vector<DWORD>(7, 0));
}

TEST_F(Report, CountsContactsWeekdaysAndHoursAndTiesGoToTheEntryMetFirst)
{
    Receive(u"Anna", "2008-06-10 08:15:00");  // Tuesday
    Receive(u"Bert", "2008-06-12 17:40:00");  // Thursday, the newer of the two tied contacts
    Receive(u"Carla", "2008-06-13 08:59:59"); // Friday
    Receive(u"Carla", "2008-06-14 17:00:00"); // Saturday
    Receive(u"Anna", "2008-06-14 21:00:00");
    Receive(u"Bert", "2008-06-15 09:00:00"); // Sunday
    ASSERT_EQ(report.Run(kReceivedFolder), S_OK);

    EXPECT_EQ(report.Total(), 6u);
    EXPECT_EQ(Texts(Table(StatsContacts)), (std::vector<std::u16string>{u"Bert", u"Anna", u"Carla"}));
    EXPECT_EQ(Counts(Table(StatsContacts)), (std::vector<DWORD>{2, 2, 2}));
    EXPECT_EQ(Text(report.TopContact()), u"Bert");
    EXPECT_EQ(report.TopContact().count, 2u);
    // Saturday has two; among the hours 8 and 17 tie, and the table's order puts 8 first.
    EXPECT_EQ(Counts(Table(StatsWeekdays)), (std::vector<DWORD>{1, 0, 1, 0, 1, 1, 2}));
    EXPECT_EQ(Text(report.TopWeekday()), u"Saturday");
    EXPECT_EQ(report.TopWeekday().count, 2u);
    EXPECT_EQ(Table(StatsHours)[17].count, 2u);
    EXPECT_EQ(Text(report.TopHour()), u"8:00 AM-9:00 AM");
    EXPECT_EQ(report.TopHour().count, 2u);
}

TEST_F(Report, ContactsThatDifferOnlyInCaseAreOneUnderTheSpellingMetFirst)
{
    Receive(u"émile zola", "2008-06-11 10:00:00");
    Receive(u"Ola", "2008-06-12 10:00:00");
    Receive(u"ÉMILE ZOLA", "2008-06-13 09:00:00");
    Receive(u"ÉMILE ZOLA", "2008-06-13 10:00:00");
    Receive(u"Émile Zola", "2008-06-14 10:00:00");
    // A second run starts from nothing: names met in the first are counted anew.
    for (int run = 0; run < 2; ++run) {
        ASSERT_EQ(report.Run(kReceivedFolder), S_OK);
        EXPECT_EQ(Texts(Table(StatsContacts)), (std::vector<std::u16string>{u"Émile Zola", u"Ola"}));
        EXPECT_EQ(Counts(Table(StatsContacts)), (std::vector<DWORD>{4, 1}));
        EXPECT_EQ(Text(report.TopContact()), u"Émile Zola");
    }
}

TEST_F(Report, SentMessagesCountTheirRecipientAndThoseWithoutRecipientsAreLeftOut)
{
    Receive(u"Anna", "2008-06-14 10:00:00");
    Sent("2008-06-13 10:00:00", TEXT("Bert"), TEXT("+15550111"));
    Sent("2008-06-14 11:00:00", nullptr, nullptr);
    Sent("2008-06-14 12:00:00", TEXT("bert"), TEXT("+15550111"));
    ASSERT_EQ(report.Run(kSentFolder), S_OK);
    EXPECT_EQ(report.FolderKind(), kSentFolder);
    EXPECT_EQ(report.Total(), 2u);
    EXPECT_EQ(Texts(Table(StatsContacts)), std::vector<std::u16string>{u"bert"});
    EXPECT_EQ(report.TopContact().count, 2u);
    // The message without recipient adds to neither its weekday nor its hour.
    EXPECT_EQ(Table(StatsHours)[11].count, 0u);
    EXPECT_EQ(Table(StatsWeekdays)[6].count, 1u);

    // Back on the received folder nothing of the sent run remains.
    ASSERT_EQ(report.Run(kReceivedFolder), S_OK);
    EXPECT_EQ(report.Total(), 1u);
    EXPECT_EQ(Texts(Table(StatsContacts)), std::vector<std::u16string>{u"Anna"});
    EXPECT_EQ(Table(StatsHours)[12].count, 0u);
    EXPECT_EQ(report.Run(kOutgoingFolder), E_INVALIDARG);
}

TEST_F(ReportInBerlin, CountsTheLastSecondOfThePeriodInLocalTimeButNotTheNextDayAndLabelsHoursIn24HourTime)
{
    EXPECT_EQ(Table(StatsHours)[13].text, u"13:00-14:00");
    EXPECT_EQ(Table(StatsHours)[23].text, u"23:00-00:00");
    EXPECT_EQ(Table(StatsWeekdays)[0].text, u"Sonntag");

    Receive(u"Anna", "2008-06-08 23:59:59");
    Receive(u"Anna", "2008-06-09 00:00:00");
    Receive(u"Bert", "2008-06-15 23:59:59");
    Receive(u"Bert", "2008-06-16 00:00:00");
    ASSERT_EQ(report.Run(kReceivedFolder), S_OK);
    EXPECT_EQ(report.Total(), 2u);
    EXPECT_EQ(Counts(Table(StatsWeekdays)), (std::vector<DWORD>{1, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Table(StatsHours)[0].count, 1u);
    EXPECT_EQ(Table(StatsHours)[23].count, 1u);
    EXPECT_EQ(Counts(Table(StatsContacts)), (std::vector<DWORD>{1, 1}));
}

TEST_F(Report, AveragesPerDayDropTheFraction)
{
    for (const char* at : {"2008-06-09 08:00:00", "2008-06-10 08:00:00", "2008-06-11 08:00:00",
                           "2008-06-12 08:00:00", "2008-06-13 08:00:00", "2008-06-14 08:00:00"})
        Receive(u"Anna", at);
    for (int minute = 0; minute < 5; ++minute)
        Receive(u"Bert", "2008-06-15 10:0" + std::to_string(minute) + ":00");

    Period("2008-06-15", "2008-06-15");
    ASSERT_EQ(report.Run(kReceivedFolder), S_OK);
    EXPECT_EQ(report.Total(), 5u);
    EXPECT_EQ(report.AveragePerDay(), 5u);

    Period("2008-06-08", "2008-06-14");
    ASSERT_EQ(report.Run(kReceivedFolder), S_OK);
    EXPECT_EQ(report.Total(), 6u);
    EXPECT_EQ(report.AveragePerDay(), 0u);

    Period("2008-06-10", "2008-06-15");
    ASSERT_EQ(report.Run(kReceivedFolder), S_OK);
    EXPECT_EQ(report.Total(), 10u);
    EXPECT_EQ(report.AveragePerDay(), 1u);
}
