#include "schedule/ScheduledMessageList.h"
#include "schedule/ScheduledSend.h"

#include "ScheduleTesting.h"

#include "cemapi/SmsDevice.h"
#include "pimstore/ContactsDevice.h"
#include "process/RunAtTime.h"

#include <algorithm>

using namespace program_testing;
using namespace schedule_testing;
using testing_support::CivilTicks;

namespace
{

// 09:00 (past at the start), 10:00 and 12:00 on 15 June 2008.
void StoreTheDay(const Bytes& contacts = {})
{
    StoreMessage(u"{00000000-0000-4000-8000-000000000900}", u"Nine", At(2008, 6, 15, 9, 0), contacts);
    StoreMessage(u"{00000000-0000-4000-8000-000000001200}", u"Noon", At(2008, 6, 15, 12, 0), contacts);
    StoreMessage(u"{00000000-0000-4000-8000-000000001000}", u"Ten", At(2008, 6, 15, 10, 0), contacts);
}

// The body of the message a wake-up now is for, or "" when there is none; the list keeps what it loaded.
std::u16string DueNow(ScheduledMessageList& list)
{
    ScheduledMessage* due = nullptr;
    if (FAILED(list.FindDue(&due))) return u"";
    bool held = false;
    for (size_t i = 0; i < list.Count(); ++i)
        held = held || list.Item(i) == due;
    EXPECT_TRUE(held);
    return due->Text();
}

// The wake-up times registered, earliest first.
std::vector<int64_t> WakeUps()
{
    std::vector<int64_t> times;
    for (const auto& entry : device::RunAtTimeEntries()) {
        EXPECT_EQ(entry.application, u"\"\\Program Files\\Zelkova\\Zelkova.exe\"");
        times.push_back(entry.dueLocal);
    }
    return times;
}

// Each sent message as "text to name address".
std::vector<std::u16string> Sent()
{
    std::vector<std::u16string> sent;
    device::sms::List(device::sms::Folder::Sent, [&](const device::sms::Message& m) {
        for (const auto& to : m.to)
            sent.push_back(m.text + u" to " + to.name + u" " + to.address);
        return true;
    });
    std::sort(sent.begin(), sent.end());
    return sent;
}

// A window of the test's own to be told to close.
class MainWindowStandIn
{
  public:
    MainWindowStandIn()
        : m_hwnd(CreateWindowExW(0, u"STATIC", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr))
    {
        EXPECT_NE(m_hwnd, nullptr);
    }
    ~MainWindowStandIn() { DestroyWindow(m_hwnd); }
    MainWindowStandIn(const MainWindowStandIn&) = delete;
    MainWindowStandIn& operator=(const MainWindowStandIn&) = delete;

    HWND Handle() const { return m_hwnd; }
    bool ToldToClose()
    {
        MSG msg;
        return PeekMessageW(&msg, m_hwnd, WM_CLOSE, WM_CLOSE, PM_REMOVE) != FALSE;
    }

  private:
    HWND m_hwnd;
};

} // namespace

TEST(ScheduledWakeUp, AWakeUpIsForTheMessageOfItsMinuteAtMostTenSecondsLate)
{
    ScheduleDevice device;
    ScheduledMessageList list;
    EXPECT_EQ(DueNow(list), u""); // nothing stored
    StoreTheDay();
    StoreMessage(u"{00000000-0000-4000-8000-000000001001}", u"Ten past one", At(2008, 6, 15, 10, 1), {});
    // Only by editing the registry: a time off the minute, never due.
    StoreMessage(u"{00000000-0000-4000-8000-000000100030}", u"Half past", At(2008, 6, 15, 10, 0, 30), {});
    for (auto [clock, due] : std::vector<std::pair<std::string, std::u16string>>{
             {"2008-06-15 10:00:00", u"Ten"},
             {"2008-06-15 10:00:04", u"Ten"},
             {"2008-06-15 10:00:10", u"Ten"},
             {"2008-06-15 10:00:11", u""}, // too late: the next message is not due
             {"2008-06-15 09:59:59", u""}, // too early
             {"2008-06-15 10:00:30", u""},
             {"2008-06-15 10:00:35", u""},
             {"2008-06-15 10:01:03", u"Ten past one"},
         }) {
        SetClock(clock);
        EXPECT_EQ(DueNow(list), due) << clock;
        EXPECT_EQ(list.Count(), 5u) << clock;
    }
}

TEST(ScheduledWakeUp, TheWakeUpIsArmedForTheEarliestFutureMessageOrClearedWhenThereIsNone)
{
    ScheduleDevice device; // 09:30
    StoreTheDay();
    ScheduledMessageList list;
    EXPECT_EQ(list.ArmWakeUp(), E_FAIL); // without the helper library the program can't name itself

    InstalledProgram program;
    ASSERT_EQ(list.ArmWakeUp(), S_OK);
    EXPECT_EQ(WakeUps(), std::vector<int64_t>{CivilTicks("2008-06-15 10:00:00")});
    ASSERT_EQ(list.Count(), 3u); // the list holds what it reloaded
    for (size_t i = 0; i < list.Count(); ++i) {
        if (!list.Item(i)->IsPast(false)) {
            ASSERT_EQ(list.Item(i)->Delete(), S_OK);
        }
    }
    ASSERT_EQ(list.ArmWakeUp(), S_OK);
    EXPECT_TRUE(WakeUps().empty());
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(std::u16string(list.Item(0)->Text()), u"Nine");
}

TEST(ScheduledSend, TheDueMessageGoesToEveryMemberAndFiveSecondsLaterTheNextWakeUpIsArmed)
{
    ScheduleDevice device("en_US", "2008-06-15 10:00:03");
    InstalledProgram program;
    CEOID ann = device::contacts::Add(u"Ann", u"555 101");
    CEOID bob = device::contacts::Add(u"Bob", u"555 202");
    StoreTheDay(Ids({ann, bob}));
    StoreMessage(u"{00000000-0000-4000-8000-000000001001}", u"Ten past one", At(2008, 6, 15, 10, 1), Ids({ann}));
    MainWindowStandIn window;
    EXPECT_EQ(RunScheduledSend(window.Handle(), true), S_OK);

    EXPECT_EQ(Sent(), (std::vector<std::u16string>{u"Ten to Ann 555 101", u"Ten to Bob 555 202"}));
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(now.wSecond, 8);
    EXPECT_EQ(WakeUps(), std::vector<int64_t>{CivilTicks("2008-06-15 10:01:00")});
    EXPECT_TRUE(window.ToldToClose());
    ScheduledMessageList list;
    ASSERT_EQ(list.LoadAll(), S_OK);
    EXPECT_EQ(list.Count(), 4u); // the sent message stays stored
}

TEST(ScheduledSend, AWakeUpWithNothingDueSendsNothingButArmsTheNextMessageAheadAndClosesOnlyWhenTold)
{
    ScheduleDevice device("en_US", "2008-06-15 10:00:11");
    InstalledProgram program;
    CEOID ann = device::contacts::Add(u"Ann", u"555 101");
    StoreTheDay(Ids({ann}));
    // Stored off the minute (only by editing the registry): never due, even at its own second.
    StoreMessage(u"{00000000-0000-4000-8000-000000110030}", u"Half past", At(2008, 6, 15, 11, 0, 30), Ids({ann}));
    MainWindowStandIn window;
    EXPECT_EQ(RunScheduledSend(window.Handle(), false), E_FAIL); // too late for 10:00
    EXPECT_FALSE(window.ToldToClose());
    EXPECT_EQ(WakeUps(), std::vector<int64_t>{CivilTicks("2008-06-15 11:00:30")});

    SetClock("2008-06-15 11:00:30");
    EXPECT_EQ(RunScheduledSend(window.Handle(), true), E_FAIL);
    EXPECT_TRUE(window.ToldToClose());
    // Armed for its own second again, the program would be started straight back.
    EXPECT_EQ(WakeUps(), std::vector<int64_t>{CivilTicks("2008-06-15 12:00:00")});

    SetClock("2008-06-15 11:59:59");
    EXPECT_EQ(RunScheduledSend(window.Handle(), true), E_FAIL); // too early
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(WakeUps(), std::vector<int64_t>{CivilTicks("2008-06-15 12:00:00")});
}

TEST(ScheduledWakeUp, AMessageDecadesLateIsPastAndDoesNotHideTheNextOne)
{
    ScheduleDevice device; // 09:30
    StoreMessage(u"{00000000-0000-4000-8000-000000001930}", u"Long ago", At(1930, 6, 15, 9, 0), {});
    StoreTheDay();
    ScheduledMessageList list;
    ASSERT_EQ(list.LoadAll(), S_OK);
    ScheduledMessage* next = nullptr;
    ASSERT_EQ(list.FindNext(&next, true), S_OK);
    EXPECT_EQ(std::u16string(next->Text()), u"Ten");
    SetClock("2008-06-15 10:00:04");
    EXPECT_EQ(DueNow(list), u"Ten");
}
