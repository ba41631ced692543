// The scheduled messages screens of the installed Zelkova, driven through the device tool as a user does:
// the list, the edit screen with its contact chooser, counter and date-time picker, what they store and
// register, and the wake-up that sends what was made there.
#include "e2e/ZelkovaPhone.h"

#include "ids.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace e2e_testing;

namespace {

class ScheduledScreens : public ZelkovaPhone {
protected:
    // Zelkova started past its welcome hint, on the scheduled messages screen.
    void OpenScheduledMessages()
    {
        SetSetting("OneTimeMsg_264", "REG_DWORD", "1");
        Launch();
        ExpectPrints({"wait"}, "idle\n");
        ExpectPrints({"row", "3"}, "selected row 3\n");
    }

    JsonValue Screen() { return Json({"screen", "--json"}); }
    void Press(const std::string& key) { Output({"press", key}); }
    std::string TextOf(int id) { return ControlOf(Screen(), id)["text"].text; }
    bool DoneEnabled() { return Screen()["softkeys"][0]["enabled"].boolean; }
    std::string MessageBoxText() { return Screen()["messagebox"]["text"].text; }

    // Each row as its drawn texts joined by " | ", "~...~" when struck out.
    std::vector<std::string> Rows()
    {
        std::vector<std::string> rows;
        JsonValue list = ControlOf(Screen(), IDC_SCHEDULED_LIST);
        for (const JsonValue& row : list["rows"].items) {
            std::string text;
            for (const JsonValue& part : row["drawn"].items)
                text += (text.empty() ? "" : " | ") + part.text;
            rows.push_back(row["dimmed"].boolean ? "~" + text + "~" : text);
        }
        return rows;
    }

    // The key names of the stored scheduled messages.
    std::vector<std::string> StoredKeys()
    {
        std::vector<std::string> keys;
        if (Run({"reg", "get", kScheduledKey}).exitCode != 0)
            return keys;
        for (const std::string& line : Lines({"reg", "get", kScheduledKey}))
            if (line.back() == '\\')
                keys.push_back(line.substr(0, line.size() - 1).substr(line.rfind('\\', line.size() - 2) + 1));
        return keys;
    }

    // The edit screen's date and time set as a user sets it: down to the picker, left to its first part, the
    // digits of each part, then the letter of AM or PM.
    void PickTime(int month, int day, int year, int hour, int minute)
    {
        for (int i = 0; i < 3 && !ControlOf(Screen(), IDC_DUE_PICKER)["focused"].boolean; ++i)
            Press("down");
        for (int i = 0; i < 8 && ControlOf(Screen(), IDC_DUE_PICKER)["field"]["start"].number > 0; ++i)
            Press("left");
        char keys[16];
        std::snprintf(keys, sizeof keys, "%02d%02d%04d%02d%02d%c", month, day, year, (hour + 11) % 12 + 1, minute,
                      hour >= 12 ? 'p' : 'a');
        Output({"type", keys});
    }

    // Done on the edit screen refused with that text; the box answered and the focus on the control named.
    void ExpectRefused(const std::string& text, int focusedId)
    {
        Press("soft1");
        EXPECT_EQ(MessageBoxText(), text);
        ExpectPrints({"answer", "ok"}, "answered ok\n");
        EXPECT_TRUE(ControlOf(Screen(), focusedId)["focused"].boolean) << focusedId;
    }
};

} // namespace

TEST_F(ScheduledScreens, ANewMessageIsMadeWithTheChooserCounterAndPickerStoredArmedAndSentAtItsMinute)
{
    uint32_t ann = AddContact("Ann", "555101"), bob = AddContact("Bob", "555202");
    OpenScheduledMessages();
    EXPECT_EQ(TextOf(IDC_SCHEDULED_LIST), ResourceText(IDS_SCHEDULED_EMPTY));
    Press("soft2");
    JsonValue menu = Screen()["menu"]["items"];
    ASSERT_EQ(menu.Size(), 5u);
    EXPECT_EQ(menu[2]["text"].text, "Delete all");
    EXPECT_FALSE(menu[2]["enabled"].boolean);
    Press("back");

    // The chooser comes first; cancelling it ends the new message with nothing stored.
    Press("soft1");
    EXPECT_EQ(Screen()["title"].text, "Select a Contact");
    Press("back");
    EXPECT_EQ(Screen()["title"].text, "Scheduled messages");
    EXPECT_TRUE(StoredKeys().empty());

    Press("soft1");
    ExpectPrints({"row", "1"}, "selected row 1\n"); // Bob
    EXPECT_EQ(TextOf(IDC_RECIPIENTS), "Bob; ");
    EXPECT_EQ(TextOf(IDC_TEXT_COUNTER), "0/160");
    EXPECT_FALSE(DoneEnabled());
    Press("down");
    Output({"type", "See you at ten"});
    EXPECT_EQ(TextOf(IDC_TEXT_COUNTER), "14/160");
    EXPECT_TRUE(DoneEnabled());
    ExpectPrints({"menu", "Add recipient"}, "chose Add recipient\n");
    ExpectPrints({"row", "0"}, "selected row 0\n"); // Ann
    EXPECT_EQ(TextOf(IDC_RECIPIENTS), "Bob; Ann; ");
    EXPECT_EQ(TextOf(IDC_DUE_PICKER), "6/16/2008 8:00 AM"); // tomorrow at eight to begin with
    PickTime(6, 15, 2008, 10, 0);
    EXPECT_NE(Output({"screen"}).find("*6/15/2008 10:00 [AM]\n"), std::string::npos); // the part in hand
    Press("soft1");

    EXPECT_EQ(Rows(), std::vector<std::string>{"Today, 10:00 AM | See you at ten"});
    EXPECT_EQ(WakeUps(), std::vector<std::string>{"2008-06-15 10:00:00"});
    std::vector<std::string> keys = StoredKeys();
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].size(), 38u); // a braced GUID
    std::string key = kScheduledKey + keys[0];
    EXPECT_EQ(Output({"reg", "get", key, "Body"}), "REG_SZ See you at ten\n");
    EXPECT_EQ(Output({"reg", "get", key, "Contacts"}), "REG_BINARY " + MemberBytes({bob, ann}) + "\n");

    // The wake-up at 10:00 reaches the open program, which sends; a minute on, the row is struck out.
    ExpectPrints({"clock", "set", "2008-06-15 10:00:30"}, "2008-06-15 10:00:30 (manual)\n");
    EXPECT_EQ(Sent(), (std::vector<std::string>{"See you at ten to Ann 555101 at 2008-06-15 10:00:00",
                                                "See you at ten to Bob 555202 at 2008-06-15 10:00:00"}));
    EXPECT_EQ(WakeUps(), std::vector<std::string>{});
    Output({"clock", "advance", "1m"});
    EXPECT_EQ(Rows(), std::vector<std::string>{"~Today, 10:00 AM | See you at ten~"});
}

TEST_F(ScheduledScreens, DoneRefusesNoRecipientsATimeNotAheadAndOneWithinAMinuteOfAnotherMessage)
{
    uint32_t ann = AddContact("Ann", "555101");
    // Off the minute (only by editing the registry): 11:00 is 59 seconds before the first, 13:01 59
    // seconds after the second. One message from 1930 lies further off than 32 bits of seconds reach.
    StoreScheduled("{A}", "Almost eleven", 2008, 6, 15, 11, 0, 59, {ann});
    StoreScheduled("{B}", "Just past one", 2008, 6, 15, 13, 0, 1, {ann});
    StoreScheduled("{C}", "Three", 2008, 6, 15, 15, 0, 0, {ann});
    StoreScheduled("{D}", "Long ago", 1930, 6, 15, 15, 0, 0, {ann});
    for (std::string id : {"{E}", "{F}", "{G}", "{H}"})
        StoreScheduled(id, "Yesterday", 2008, 6, 14, 8, id[1] - 'E', 0, {ann});
    OpenScheduledMessages();
    ASSERT_EQ(Rows().size(), 8u);

    Press("soft1");
    ExpectPrints({"row", "0"}, "selected row 0\n");
    Press("down");
    Output({"type", std::string(161, 'x')}); // one more than a text message holds
    EXPECT_EQ(TextOf(IDC_MESSAGE_TEXT), std::string(160, 'x'));
    EXPECT_EQ(TextOf(IDC_TEXT_COUNTER), "160/160");
    ExpectPrints({"menu", "Clear text"}, "chose Clear text\n");
    EXPECT_EQ(TextOf(IDC_TEXT_COUNTER), "0/160");
    EXPECT_FALSE(DoneEnabled());
    Output({"type", "Hi"});
    Press("back"); // Back deletes a character
    EXPECT_EQ(TextOf(IDC_MESSAGE_TEXT), "H");

    ExpectPrints({"menu", "Remove all recipients"}, "chose Remove all recipients\n");
    EXPECT_EQ(TextOf(IDC_RECIPIENTS), ResourceText(IDS_NO_RECIPIENTS));
    EXPECT_FALSE(DoneEnabled());
    Press("action"); // the action key still asks for Done
    EXPECT_EQ(MessageBoxText(), ResourceText(IDS_ADD_RECIPIENT));
    ExpectPrints({"answer", "ok"}, "answered ok\n");
    ExpectPrints({"menu", "Add recipient"}, "chose Add recipient\n");
    ExpectPrints({"row", "0"}, "selected row 0\n");

    std::string tooClose = ResourceText(IDS_SCHEDULED_TOO_CLOSE_FORMAT);
    tooClose.replace(tooClose.find("%d"), 2, "60");
    PickTime(6, 15, 2008, 9, 30); // this very minute
    ExpectRefused(ResourceText(IDS_TIME_NOT_IN_FUTURE), IDC_DUE_PICKER);
    PickTime(6, 15, 2008, 11, 0);
    ExpectRefused(tooClose, IDC_DUE_PICKER);
    PickTime(6, 15, 2008, 13, 1);
    ExpectRefused(tooClose, IDC_DUE_PICKER);
    PickTime(6, 15, 2079, 15, 1); // a whole minute after three, in a year past the system's dates
    EXPECT_EQ(TextOf(IDC_DUE_PICKER), "6/15/2008 3:01 PM");
    Press("soft1");
    EXPECT_EQ(Rows().size(), 9u);
    EXPECT_EQ(Rows()[0], "Today, 3:01 PM | H");

    // A whole minute before three; then the list holds ten, and an eleventh is refused.
    Press("soft1");
    ExpectPrints({"row", "0"}, "selected row 0\n");
    Press("down");
    Output({"type", "Ten to three"});
    PickTime(6, 15, 2008, 14, 59);
    Press("soft1");
    EXPECT_EQ(Rows().size(), 10u);
    EXPECT_EQ(WakeUps(), std::vector<std::string>{"2008-06-15 11:00:59"});
    Press("soft1");
    std::string limit = ResourceText(IDS_SCHEDULED_LIMIT_FORMAT);
    EXPECT_EQ(MessageBoxText(), limit.replace(limit.find("%d"), 2, "10"));
    ExpectPrints({"answer", "ok"}, "answered ok\n");
    EXPECT_EQ(StoredKeys().size(), 10u);
}

TEST_F(ScheduledScreens, RowsGoLatestFirstPastOnesStruckOutAndEveryChangeArmsTheWakeUpAnew)
{
    uint32_t ann = AddContact("Ann", "555101"), bob = AddContact("Bob", "555202");
    ExpectPrints({"clock", "set", "2008-06-15 08:30:00"}, "2008-06-15 08:30:00 (manual)\n");
    StoreScheduled("{A}", "Nine", 2008, 6, 15, 9, 0, 0, {ann});
    StoreScheduled("{B}", "Six\r\nsharp", 2008, 6, 15, 18, 0, 0, {ann});
    StoreScheduled("{C}", "Noon", 2008, 6, 14, 12, 0, 0, {bob});
    OpenScheduledMessages();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Today, 6:00 PM | Six sharp", "Today, 9:00 AM | Nine",
                                                "~6/14/2008, 12:00 PM | Noon~"}));
    // A message whose every recipient left the contacts can't be shown for editing.
    Output({"contacts", "delete", std::to_string(bob)});
    ExpectPrints({"row", "2"}, "selected row 2\n");
    EXPECT_EQ(Screen()["title"].text, "Scheduled messages");

    // Done without a change registers nothing (nothing was registered before).
    ExpectPrints({"row", "1"}, "selected row 1\n");
    Press("soft1");
    EXPECT_EQ(WakeUps(), std::vector<std::string>{});
    // The clock passing 9:00 with the screen open strikes the row out.
    ExpectPrints({"clock", "set", "2008-06-15 09:01:00"}, "2008-06-15 09:01:00 (manual)\n");
    EXPECT_EQ(Rows()[1], "~Today, 9:00 AM | Nine~");

    // A change arms the wake-up; deleting the only message ahead clears it and keeps the past ones.
    ExpectPrints({"row", "0"}, "selected row 0\n");
    Press("down");
    Output({"type", "!"});
    Press("soft1");
    EXPECT_EQ(Rows()[0], "Today, 6:00 PM | !"); // the text was selected on the way in
    EXPECT_EQ(WakeUps(), std::vector<std::string>{"2008-06-15 18:00:00"});
    ExpectPrints({"menu", "Delete"}, "chose Delete\n");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"~Today, 9:00 AM | Nine~", "~6/14/2008, 12:00 PM | Noon~"}));
    EXPECT_EQ(WakeUps(), std::vector<std::string>{});

    ExpectPrints({"menu", "Delete all"}, "chose Delete all\n");
    EXPECT_EQ(Rows(), std::vector<std::string>{});
    EXPECT_EQ(TextOf(IDC_SCHEDULED_LIST), ResourceText(IDS_SCHEDULED_EMPTY));
    EXPECT_TRUE(StoredKeys().empty());
    ExpectFails({"menu", "Delete all"}, 1); // greyed
}
