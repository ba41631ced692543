// The statistics screens of the installed Zelkova through the device tool, on a device whose clock stands at
// Sunday 15 June 2008 09:30: the seven figures of the received and sent texts, the period presets, the
// period dialog driven by keys, and the breakdowns a row opens.
#include "e2e/ZelkovaPhone.h"

#include "cemapi/SmsDevice.h"
#include "device/Clock.h"
#include "support/TempDevice.h"

#include "ids.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace e2e_testing;

namespace {

using Rows = std::vector<std::vector<std::string>>;

int64_t UtcTicks(const std::string& local)
{
    int64_t ticks = testing_support::CivilTicks(local);
    return ticks - device::LocalOffsetAtLocal(ticks);
}

class ZelkovaStatistics : public ZelkovaPhone {
protected:
    void Receive(const std::string& name, const std::string& number, const std::string& at)
    {
        Output({"sms", "receive", "--from", number, "--name", name, "--text", "Hello", "--at", at});
    }

    // The phone's own history of sent texts; the device tool only plays incoming ones.
    void Sent(const std::u16string& to, const std::string& at)
    {
        device::sms::RecordSent({{{to, u"+15550199"}}, u"On my way", UtcTicks(at)});
    }

    // Four received texts in the last seven days and one the day before; three sent.
    void FillTheWeek()
    {
        Receive("Cid", "+15550103", "2008-06-08 23:59:59");
        Receive("anna", "+15550101", "2008-06-09 00:00:00");
        Receive("Bob", "+15550102", "2008-06-12 08:45:00");
        Receive("Bob", "+15550102", "2008-06-13 22:15:00");
        Receive("Anna", "+15550101", "2008-06-15 08:10:00");
        Sent(u"Eve", "2008-06-11 22:00:00");
        Sent(u"Dan", "2008-06-14 10:00:00");
        Sent(u"Dan", "2008-06-14 10:30:00");
    }

    // From the main screen, as the user starts the program (past the welcome hint).
    void OpenStatistics()
    {
        SetSetting("OneTimeMsg_264", "REG_DWORD", "1");
        Launch();
        ExpectPrints({"wait"}, "idle\n");
        ExpectPrints({"row", "4"}, "selected row 4\n");
    }
    void OpenStatisticsPastTheHint()
    {
        OpenStatistics();
        ExpectPrints({"answer", "ok"}, "answered ok\n");
    }

    JsonValue Screen() { return Json({"screen", "--json"}); }
    std::string Title() { return Screen()["title"].text; }
    Rows ListRows() { return RowsOf(Screen(), IDC_STATS_LIST); }
    // The value drawn under a statistics row's label.
    std::string Value(int row)
    {
        Rows rows = ListRows();
        return row < static_cast<int>(rows.size()) && rows[row].size() == 2 ? rows[row][1] : "<no row>";
    }
    std::string PickerText(int id) { return ControlOf(Screen(), id)["text"].text; }
    bool Focused(int id) { return ControlOf(Screen(), id)["focused"].boolean; }
    void Choose(const std::string& item) { ExpectPrints({"menu", item}, "chose " + item + "\n"); }
    void Press(const std::string& key) { ExpectPrints({"press", key}, "pressed " + key + "\n"); }
    void Type(const std::string& text) { ExpectPrints({"type", text}, "typed " + text + "\n"); }
};

} // namespace

TEST_F(ZelkovaStatistics, OpensOnTheReceivedTextsOfTheLastSevenDaysAndSwitchesFolderAndPeriodFromTheMenu)
{
    FillTheWeek();
    SetSetting("AutoExit", "REG_DWORD", "1"); // statistics never close the program
    std::string pid = Launch();
    ExpectPrints({"wait"}, "idle\n"); // the welcome hint
    ExpectPrints({"answer", "ok"}, "answered ok\n");
    ExpectPrints({"row", "4"}, "selected row 4\n");
    JsonValue hint = Screen();
    ASSERT_EQ(hint["messagebox"].kind, JsonValue::Object);
    EXPECT_EQ(hint["messagebox"]["text"].text, ResourceText(IDS_HINT_STATISTICS));
    ExpectPrints({"answer", "ok"}, "answered ok\n");

    JsonValue screen = Screen();
    EXPECT_EQ(screen["title"].text, "Statistics");
    EXPECT_EQ(RowsOf(screen, IDC_STATS_LIST),
              (Rows{{ResourceText(IDS_STATS_PERIOD), "6/9/2008–6/15/2008 (7 d)"},
                    {ResourceText(IDS_STATS_RECEIVED), "4"},
                    {ResourceText(IDS_STATS_AVERAGE), ResourceText(IDS_UNDER_ONE_MESSAGE)},
                    {ResourceText(IDS_STATS_BUSIEST_WEEKDAY), "Sunday (1)"}, // the first of four equal days
                    {ResourceText(IDS_STATS_BUSIEST_HOUR), "8:00 AM-9:00 AM (2)"},
                    {ResourceText(IDS_STATS_TOP_CONTACT), "Anna (2)"}, // as newest met; Bob has 2 as well
                    {ResourceText(IDS_STATS_FEEDBACK), ResourceText(IDS_STATS_FEEDBACK_ACTION)}}));
    EXPECT_TRUE(ControlOf(screen, IDC_STATS_LIST)["rows"][0]["selected"].boolean);

    // The menu marks the folder shown.
    Press("soft2");
    JsonValue menu = Screen()["menu"];
    ASSERT_EQ(menu.kind, JsonValue::Object);
    EXPECT_EQ(menu["items"][0]["text"].text, "Received texts");
    EXPECT_TRUE(menu["items"][0]["checked"].boolean);
    EXPECT_FALSE(menu["items"][1]["checked"].boolean);
    Choose("Sent texts");
    EXPECT_EQ(ListRows()[1], (std::vector<std::string>{ResourceText(IDS_STATS_SENT), "3"}));
    EXPECT_EQ(Value(3), "Saturday (2)");
    EXPECT_EQ(Value(4), "10:00 AM-11:00 AM (2)");
    EXPECT_EQ(Value(5), "Dan (2)");
    Press("soft2");
    EXPECT_FALSE(Screen()["menu"]["items"][0]["checked"].boolean);
    EXPECT_TRUE(Screen()["menu"]["items"][1]["checked"].boolean);
    Press("back");

    // The presets keep the folder.
    Choose("This month");
    EXPECT_EQ(Value(0), "6/1/2008–6/15/2008 (15 d)");
    EXPECT_EQ(Value(1), "3");
    Choose("This year");
    EXPECT_EQ(Value(0), "1/1/2008–6/15/2008 (167 d)");
    Choose("Last 180 days");
    EXPECT_EQ(Value(0), "12/19/2007–6/15/2008 (180 d)");
    Choose("Previous month");
    EXPECT_EQ(ListRows(), (Rows{{ResourceText(IDS_STATS_PERIOD), "5/1/2008–5/31/2008 (31 d)"},
                                {ResourceText(IDS_STATS_SENT), "0"},
                                {ResourceText(IDS_STATS_AVERAGE), ResourceText(IDS_STATS_NONE)},
                                {ResourceText(IDS_STATS_BUSIEST_WEEKDAY), ResourceText(IDS_STATS_NONE)},
                                {ResourceText(IDS_STATS_BUSIEST_HOUR), ResourceText(IDS_STATS_NONE)},
                                {ResourceText(IDS_STATS_TOP_CONTACT), ResourceText(IDS_STATS_NONE)},
                                {ResourceText(IDS_STATS_FEEDBACK), ResourceText(IDS_STATS_FEEDBACK_ACTION)}}));
    // In January the previous month is December of the year before.
    ExpectPrints({"clock", "set", "2009-01-20 12:00:00"}, "2009-01-20 12:00:00 (manual)\n");
    Choose("Previous month");
    EXPECT_EQ(Value(0), "12/1/2008–12/31/2008 (31 d)");

    // The feedback row writes the support mail, as the main screen's menu does.
    ExpectPrints({"row", "6"}, "selected row 6\n");
    JsonValue forms = Json({"composed", "--json"});
    ASSERT_EQ(forms.Size(), 1u);
    EXPECT_EQ(forms[0]["kind"].text, "mail");
    EXPECT_EQ(forms[0]["subject"].text, ResourceText(IDS_SUPPORT_MAIL_SUBJECT));
    EXPECT_EQ(Title(), "E-mail"); // the phone's form, left unsent
    Choose("Cancel");
    EXPECT_EQ(Title(), "Statistics");

    // Back to the main screen; the program stays although AutoExit is on, and the hint is not shown again.
    Choose("Close");
    EXPECT_EQ(Title(), "Zelkova");
    EXPECT_TRUE(RunningAre({pid}));
    Choose("Exit");
    ASSERT_TRUE(RunningAre({}));
    EXPECT_EQ(Setting("OneTimeMsg_317"), "REG_DWORD 1");
    OpenStatistics();
    EXPECT_EQ(Screen()["messagebox"].kind, JsonValue::Null);
    EXPECT_EQ(Title(), "Statistics");
}

TEST_F(ZelkovaStatistics, ThePeriodDialogKeepsTheLastDayAfterTheFirstAndRefusesAPeriodRunningBackwards)
{
    FillTheWeek();
    OpenStatisticsPastTheHint();
    ExpectPrints({"row", "0"}, "selected row 0\n");
    EXPECT_EQ(Title(), "Period");
    EXPECT_EQ(PickerText(IDC_FIRST_DAY), "6/9/2008");
    EXPECT_EQ(PickerText(IDC_LAST_DAY), "6/15/2008");
    EXPECT_TRUE(Focused(IDC_FIRST_DAY));

    // The first day moved past the last takes the last along to the day after it; moved back, it leaves it.
    Press("right"); // the day
    Type("16");
    EXPECT_EQ(PickerText(IDC_FIRST_DAY), "6/16/2008");
    EXPECT_EQ(PickerText(IDC_LAST_DAY), "6/17/2008");
    Press("left");
    Type("12");
    EXPECT_EQ(PickerText(IDC_FIRST_DAY), "6/12/2008");
    EXPECT_EQ(PickerText(IDC_LAST_DAY), "6/17/2008");

    // Up and down step a field; right past the last field goes on to the next picker, left past the first
    // comes back. A last day before the first is refused, and the user is taken to the last day.
    Press("right");
    ASSERT_TRUE(Focused(IDC_LAST_DAY));
    Press("right");
    Type("11");
    EXPECT_EQ(PickerText(IDC_LAST_DAY), "6/11/2008");
    Press("up"); // the year
    EXPECT_EQ(PickerText(IDC_LAST_DAY), "6/11/2009");
    Press("down");
    EXPECT_EQ(PickerText(IDC_LAST_DAY), "6/11/2008");
    for (int field = 0; field < 3; ++field) // from the year to the day, the month, and out
        Press("left");
    ASSERT_TRUE(Focused(IDC_FIRST_DAY));
    Press("soft1");
    JsonValue refused = Screen();
    ASSERT_EQ(refused["messagebox"].kind, JsonValue::Object);
    EXPECT_EQ(refused["messagebox"]["text"].text, ResourceText(IDS_PERIOD_INVALID));
    EXPECT_EQ(refused["messagebox"]["caption"].text, "Zelkova");
    EXPECT_EQ(refused["messagebox"]["icon"].text, "warning");
    ExpectPrints({"answer", "ok"}, "answered ok\n");
    EXPECT_EQ(Title(), "Period");
    EXPECT_TRUE(Focused(IDC_LAST_DAY));

    // One day is a period: its date alone, its one text an average of one.
    Press("right"); // from the month, where it was left, to the day
    Type("12");
    Press("soft1");
    EXPECT_EQ(Title(), "Statistics");
    EXPECT_EQ(Value(0), "6/12/2008");
    EXPECT_EQ(Value(1), "1");
    EXPECT_EQ(Value(2), ResourceText(IDS_ONE_MESSAGE));
    EXPECT_EQ(Value(5), "Bob (1)");

    // Cancelled from the menu, the dialog changes nothing.
    Choose("Other period...");
    EXPECT_EQ(PickerText(IDC_FIRST_DAY), "6/12/2008");
    Press("right");
    Type("1");
    Press("soft2");
    EXPECT_EQ(Value(0), "6/12/2008");
}

TEST_F(ZelkovaStatistics, BreakdownsListEveryEntryBusiestFirstWithItsShareAndCloseAtOnceWhenNothingWasCounted)
{
    // 300 texts from Monday 9 June, one every half hour: 48 a day to Saturday, 12 on Sunday morning.
    const std::vector<std::u16string> senders = {u"Eve",  u"Émile", u"Bob", u"alice", u"Trio",
                                                 u"Trio", u"Trio",  u"Duo", u"Duo"};
    int64_t first = UtcTicks("2008-06-09 00:00:00");
    for (int i = 0; i < 300; ++i) {
        std::u16string from = i < static_cast<int>(senders.size()) ? senders[i] : u"Crowd";
        device::sms::Receive({{from, u"+15550100"}, u"Hello", first + i * 30 * 60 * device::kTicksPerSecond});
    }
    Sent(u"Eve", "2008-06-11 22:00:00");
    Sent(u"Dan", "2008-06-14 10:00:00");
    Sent(u"Dan", "2008-06-14 10:30:00");
    OpenStatisticsPastTheHint();
    EXPECT_EQ(Value(1), "300");
    EXPECT_EQ(Value(2), "42 messages");

    // Equal counts go by name as the locale sorts them, whatever the case or accents.
    ExpectPrints({"row", "5"}, "selected row 5\n");
    EXPECT_EQ(Title(), ResourceText(IDS_STATS_TOP_CONTACT));
    JsonValue contacts = Screen();
    EXPECT_EQ(RowsOf(contacts, IDC_STATS_LIST), (Rows{{"Crowd", "291 messages (97%)"},
                                                      {"Trio", "3 messages (1%)"}, // 1.0 in single precision
                                                      {"Duo", "2 messages"},
                                                      {"alice", "1 message"},
                                                      {"Bob", "1 message"},
                                                      {"Émile", "1 message"},
                                                      {"Eve", "1 message"}}));
    EXPECT_TRUE(ControlOf(contacts, IDC_STATS_LIST)["rows"][0]["selected"].boolean);
    Press("soft1");
    EXPECT_EQ(Title(), "Statistics");

    ExpectPrints({"row", "3"}, "selected row 3\n");
    EXPECT_EQ(ListRows(), (Rows{{"Friday", "48 messages (16%)"},
                                {"Monday", "48 messages (16%)"},
                                {"Saturday", "48 messages (16%)"},
                                {"Thursday", "48 messages (16%)"},
                                {"Tuesday", "48 messages (16%)"},
                                {"Wednesday", "48 messages (16%)"},
                                {"Sunday", "12 messages (4%)"}}));
    Press("back");
    ExpectPrints({"row", "4"}, "selected row 4\n");
    JsonValue hours = ControlOf(Screen(), IDC_STATS_LIST)["rows"];
    ASSERT_EQ(hours.Size(), 24u);
    EXPECT_EQ(RowsOf(Screen(), IDC_STATS_LIST)[0], (std::vector<std::string>{"1:00 AM-2:00 AM", "14 messages (4%)"}));
    EXPECT_EQ(hours[23]["text"].text, "9:00 PM-10:00 PM"); // below the screen, not drawn
    Press("back");

    Choose("Sent texts");
    ExpectPrints({"row", "4"}, "selected row 4\n");
    EXPECT_EQ(ListRows(), (Rows{{"10:00 AM-11:00 AM", "2 messages (66%)"}, {"10:00 PM-11:00 PM", "1 message (33%)"}}));
    Press("soft1");

    // Nothing counted: each breakdown closes as it opens.
    Choose("Previous month");
    for (const char* row : {"3", "4", "5"}) {
        ExpectPrints({"row", row}, std::string("selected row ") + row + "\n");
        JsonValue screen = Screen();
        EXPECT_EQ(screen["title"].text, "Statistics") << "row " << row;
        EXPECT_EQ(screen["messagebox"].kind, JsonValue::Null);
    }
}
