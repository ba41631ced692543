// The missed-call auto-reply of the installed Zelkova through the device tool: the settings screens that
// switch it on, and missed calls played by the phone, answered by a program the notification starts or by
// the one the user has open.
#include "e2e/ZelkovaPhone.h"

#include "ids.h"

#include "notify/Watches.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

using namespace e2e_testing;

namespace {

class AutoReply : public ZelkovaPhone {
protected:
    explicit AutoReply(const std::vector<std::string>& leaveOut = {}) : ZelkovaPhone(leaveOut) {}

    // The settings screen opened from the main screen's row, as the user opens it.
    JsonValue OpenSettings()
    {
        ExpectPrints({"row", "2"}, "selected row 2\n");
        JsonValue screen = Json({"screen", "--json"});
        EXPECT_EQ(screen["title"].text, "Auto-reply");
        return screen;
    }

    // Switches auto-reply on with that text as a user does, and exits.
    void SwitchOn(const std::string& text)
    {
        StartOnMainScreen();
        OpenSettings();
        Output({"press", "action"}); // the box; the text becomes editable and takes the focus
        ExpectPrints({"menu", "Clear text"}, "chose Clear text\n");
        Output({"type", text});
        Output({"press", "soft1"});
        ExpectPrints({"menu", "Exit"}, "chose Exit\n");
        ASSERT_TRUE(RunningAre({}));
        ASSERT_EQ(Setting("AREnable"), "REG_DWORD 1");
    }

    // Whether the missed-call notification is registered on the device.
    static bool Registered()
    {
        device::notify::WatchedValue count;
        device::notify::WatchedValueOf(HKEY_CURRENT_USER, u"System\\State\\Phone", u"Missed Call Count", &count);
        std::vector<device::notify::Watch> watches = device::notify::WatchesOn(count);
        return watches.size() == 1 && watches[0].name == u"Zelkova.MissedCalls";
    }

    // Each message of the sent folder as "TEXT to NAME <ADDRESS>", oldest first.
    std::vector<std::string> Sent()
    {
        std::vector<std::string> sent;
        for (const JsonValue& message : Json({"sms", "list", "--folder", "sent", "--json"}).items)
            for (const JsonValue& to : message["to"].items)
                sent.push_back(message["text"].text + " to " + to["name"].text + " <" + to["address"].text + ">");
        std::reverse(sent.begin(), sent.end());
        return sent;
    }

    // The countdown line as the screen shows it.
    static std::string Countdown(int left, int gone)
    {
        char line[128];
        std::snprintf(line, sizeof line, ResourceText(IDS_COUNTDOWN_FORMAT).c_str(), left, gone);
        return line;
    }

    // A missed call from that number; waits until what it started has settled.
    void MissedCall(const std::string& from)
    {
        Output({"call", "missed", "--from", from});
        ExpectPrints({"wait"}, "idle\n");
    }

    // The one device process, which the notification started; its id.
    std::string SilentProcess()
    {
        std::vector<std::string> running = Lines({"ps"});
        EXPECT_TRUE(running.size() == 1 && running[0].find("Zelkova.MissedCalls") != std::string::npos);
        return running.empty() ? "" : running[0].substr(0, running[0].find(' '));
    }
};

class AutoReplyWithoutHelperLibrary : public AutoReply {
protected:
    AutoReplyWithoutHelperLibrary() : AutoReply({"utils.dll"}) {}
};

} // namespace

TEST_F(AutoReply, TheSettingsScreenRegistersTheNotificationOnlyWithATextAndStopsItWhenSwitchedOff)
{
    StartOnMainScreen();
    JsonValue screen = OpenSettings();
    std::string defaultText = ResourceText(IDS_AUTO_REPLY_DEFAULT_TEXT);
    EXPECT_FALSE(ControlOf(screen, IDC_REPLY_ON)["checked"].boolean);
    EXPECT_TRUE(ControlOf(screen, IDC_REPLY_TEXT)["readonly"].boolean); // off: the text can't be edited
    EXPECT_EQ(ControlOf(screen, IDC_REPLY_COUNTER)["text"].text, std::to_string(defaultText.size()) + "/160");
    EXPECT_TRUE(screen["softkeys"][0]["enabled"].boolean);

    // Checked with an empty text, Done greys and is refused until there is a character.
    Output({"press", "action"});
    ExpectPrints({"menu", "Clear text"}, "chose Clear text\n");
    screen = Json({"screen", "--json"});
    EXPECT_FALSE(ControlOf(screen, IDC_REPLY_TEXT)["readonly"].boolean);
    EXPECT_TRUE(ControlOf(screen, IDC_REPLY_TEXT)["focused"].boolean);
    EXPECT_EQ(ControlOf(screen, IDC_REPLY_COUNTER)["text"].text, "0/160");
    EXPECT_FALSE(screen["softkeys"][0]["enabled"].boolean);
    Output({"press", "soft1"});
    EXPECT_EQ(Json({"screen", "--json"})["title"].text, "Auto-reply");
    Output({"type", "B"});
    screen = Json({"screen", "--json"});
    EXPECT_EQ(ControlOf(screen, IDC_REPLY_COUNTER)["text"].text, "1/160");
    EXPECT_TRUE(screen["softkeys"][0]["enabled"].boolean);
    Output({"type", "usy!"});
    Output({"press", "back"}); // deletes in the text
    EXPECT_EQ(ControlOf(Json({"screen", "--json"}), IDC_REPLY_COUNTER)["text"].text, "4/160");
    EXPECT_FALSE(Registered());
    Output({"press", "soft1"});
    EXPECT_EQ(Json({"screen", "--json"})["title"].text, "Zelkova");
    EXPECT_TRUE(Registered());
    EXPECT_EQ(Setting("AREnable"), ""); // kept in memory until the program ends
    ExpectPrints({"menu", "Exit"}, "chose Exit\n");
    ASSERT_TRUE(RunningAre({}));
    EXPECT_EQ(Setting("AREnable"), "REG_DWORD 1");
    EXPECT_EQ(Setting("ARMsg"), "REG_SZ Busy");

    // Switched off: the notification is stopped, and a missed call starts nothing. Away from the text,
    // Back leaves the screen.
    StartOnMainScreen();
    OpenSettings();
    Output({"press", "back"});
    EXPECT_EQ(Json({"screen", "--json"})["title"].text, "Zelkova");
    EXPECT_TRUE(ControlOf(OpenSettings(), IDC_REPLY_ON)["checked"].boolean);
    Output({"press", "action"});
    Output({"press", "soft1"});
    EXPECT_FALSE(Registered());
    ExpectPrints({"menu", "Exit"}, "chose Exit\n");
    ASSERT_TRUE(RunningAre({}));
    EXPECT_EQ(Setting("AREnable"), "REG_DWORD 0");
    Output({"call", "missed", "--from", "5550101"});
    ExpectPrints({"ps"}, "");

    // On in the settings but with no notification left to stop: off all the same.
    SetSetting("AREnable", "REG_DWORD", "1");
    StartOnMainScreen();
    OpenSettings();
    Output({"press", "action"});
    Output({"press", "soft1"});
    ExpectPrints({"menu", "Exit"}, "chose Exit\n");
    ASSERT_TRUE(RunningAre({}));
    EXPECT_EQ(Setting("AREnable"), "REG_DWORD 0");
}

TEST_F(AutoReply, AMissedCallFromAContactsMobileStartsZelkovaSilentlyWhichCountsDownSendsAndEnds)
{
    SwitchOn("Busy, call later");
    Output({"contacts", "add", "--name", "Ann Example", "--mobile", "+1 555 0101"});

    MissedCall("+15550101");
    SilentProcess();
    JsonValue screen = Json({"screen", "--json"});
    EXPECT_EQ(screen["title"].text, "Missed call");
    EXPECT_EQ(ControlOf(screen, IDC_CALLER)["text"].text, "Ann Example");
    EXPECT_EQ(ControlOf(screen, IDC_COUNTDOWN)["text"].text, Countdown(10, 0));
    ASSERT_EQ(screen["softkeys"].Size(), 2u);
    EXPECT_EQ(screen["softkeys"][0]["label"].text, "Send now");
    EXPECT_EQ(screen["softkeys"][1]["label"].text, "Cancel");

    Output({"clock", "advance", "9s"});
    ExpectPrints({"wait"}, "idle\n");
    EXPECT_EQ(ControlOf(Json({"screen", "--json"}), IDC_COUNTDOWN)["text"].text, Countdown(1, 9));
    EXPECT_EQ(Sent(), std::vector<std::string>{});
    Output({"clock", "advance", "1s"});
    EXPECT_TRUE(RunningAre({}));
    // To the number that rang, as it rang.
    EXPECT_EQ(Sent(), std::vector<std::string>{"Busy, call later to Ann Example <+15550101>"});
    EXPECT_EQ(Setting("AREnable"), "REG_DWORD 1"); // a silent run writes nothing back

    // Cancel sends nothing; Send now sends at once; either way the silent program ends.
    MissedCall("+15550101");
    Output({"press", "soft2"});
    EXPECT_TRUE(RunningAre({}));
    MissedCall("5550101");
    Output({"press", "soft1"});
    EXPECT_TRUE(RunningAre({}));
    EXPECT_EQ(Sent(), (std::vector<std::string>{"Busy, call later to Ann Example <+15550101>",
                                                "Busy, call later to Ann Example <5550101>"}));
}

TEST_F(AutoReply, OnlyTheCallersTheSettingsNameAreAnsweredAndWithoutAWarningNothingIsShown)
{
    SwitchOn("Busy");
    Output({"contacts", "add", "--name", "Ann", "--mobile", "5550101", "--work", "5550202", "--home", "5550303"});
    SetSetting("ARWarn", "REG_DWORD", "0");

    // Contacts only (the default): a number that is no contact, and a contact's work or home number, get
    // nothing; the program the call started ends all the same.
    for (const char* from : {"5550999", "5550202", "5550303"}) {
        MissedCall(from);
        EXPECT_TRUE(RunningAre({})) << from;
    }
    EXPECT_EQ(Sent(), std::vector<std::string>{});

    // Without a warning the reply goes out at once, with no time for a countdown to pass.
    MissedCall("5550101");
    EXPECT_TRUE(RunningAre({}));
    EXPECT_EQ(Sent(), std::vector<std::string>{"Busy to Ann <5550101>"});

    // Every caller: a number that is no contact is answered by number, with no name; still not a contact's
    // other numbers.
    SetSetting("ARMode", "REG_DWORD", "0");
    SetSetting("ARWarn", "REG_DWORD", "5");
    MissedCall("5550999");
    EXPECT_EQ(ControlOf(Json({"screen", "--json"}), IDC_CALLER)["text"].text, "5550999");
    Output({"clock", "advance", "5s"});
    EXPECT_TRUE(RunningAre({}));
    MissedCall("5550202");
    EXPECT_TRUE(RunningAre({}));
    EXPECT_EQ(Sent(), (std::vector<std::string>{"Busy to Ann <5550101>", "Busy to  <5550999>"}));

    // Switched off behind the notification's back: nothing is shown or sent, and the program ends.
    SetSetting("AREnable", "REG_DWORD", "0");
    MissedCall("5550101");
    EXPECT_TRUE(RunningAre({}));
    EXPECT_EQ(Sent().size(), 2u);
}

TEST_F(AutoReply, WithZelkovaOpenTheWarningComesOverItsScreenAndAutoExitClosesItAfterwards)
{
    SwitchOn("Busy");
    Output({"contacts", "add", "--name", "Ann", "--mobile", "5550101"});
    std::string open = StartOnMainScreen();
    MissedCall("5550101");
    EXPECT_TRUE(RunningAre({open}));
    EXPECT_EQ(Json({"screen", "--json"})["title"].text, "Missed call");
    Output({"press", "soft1"});
    EXPECT_EQ(Json({"screen", "--json"})["title"].text, "Zelkova");
    EXPECT_TRUE(RunningAre({open}));
    EXPECT_EQ(Sent().size(), 1u);

    ExpectPrints({"menu", "Exit"}, "chose Exit\n");
    ASSERT_TRUE(RunningAre({}));
    SetSetting("AutoExit", "REG_DWORD", "1");
    StartOnMainScreen();
    MissedCall("5550101");
    Output({"press", "soft2"});
    EXPECT_TRUE(RunningAre({}));
    EXPECT_EQ(Sent().size(), 1u);
}

TEST_F(AutoReply, ACallMissedDuringACountdownIsAnsweredTooBeforeTheSilentProgramEnds)
{
    SwitchOn("Busy");
    Output({"contacts", "add", "--name", "Ann", "--mobile", "5550101"});
    Output({"contacts", "add", "--name", "Bob", "--mobile", "5550202"});
    MissedCall("5550101");
    std::string silent = SilentProcess();
    Output({"clock", "advance", "4s"});
    MissedCall("5550202");
    EXPECT_TRUE(RunningAre({silent}));
    EXPECT_EQ(ControlOf(Json({"screen", "--json"}), IDC_CALLER)["text"].text, "Bob");
    Output({"clock", "advance", "6s"}); // Ann's countdown ends under Bob's
    ExpectPrints({"wait"}, "idle\n");
    EXPECT_EQ(Sent(), std::vector<std::string>{"Busy to Ann <5550101>"});
    EXPECT_TRUE(RunningAre({silent}));
    Output({"clock", "advance", "4s"});
    EXPECT_TRUE(RunningAre({}));
    EXPECT_EQ(Sent(), (std::vector<std::string>{"Busy to Ann <5550101>", "Busy to Bob <5550202>"}));
}

TEST_F(AutoReply, TheOptionsScreenMapsTheDelaysAndWantsOneChosen)
{
    SetSetting("ARWarn", "REG_DWORD", "20");
    StartOnMainScreen();
    OpenSettings();
    auto options = [&] {
        ExpectPrints({"menu", "Options..."}, "chose Options...\n");
        JsonValue screen = Json({"screen", "--json"});
        EXPECT_EQ(screen["title"].text, "Auto-reply options");
        return screen;
    };
    auto chosen = [](const JsonValue& screen, int list) {
        std::string text;
        JsonValue control = ControlOf(screen, list);
        for (const JsonValue& row : control["rows"].items)
            if (row["selected"].boolean)
                text += row["text"].text;
        return text;
    };
    JsonValue screen = options();
    EXPECT_EQ(chosen(screen, IDC_MODE_LIST), ResourceText(IDS_REPLY_CONTACTS_ONLY));
    EXPECT_EQ(chosen(screen, IDC_DELAY_LIST), ""); // 20 seconds is not on offer
    Output({"press", "left"});                     // every caller
    Output({"press", "soft1"});                    // refused without a delay
    EXPECT_EQ(Json({"screen", "--json"})["title"].text, "Auto-reply options");
    Output({"press", "down"});
    Output({"press", "right"});
    EXPECT_EQ(chosen(Json({"screen", "--json"}), IDC_DELAY_LIST), ResourceText(IDS_WARN_5_SECONDS));
    Output({"press", "soft1"});

    // Each delay comes back as the choice it was stored from.
    const unsigned delays[] = {IDS_WARN_5_SECONDS, IDS_WARN_10_SECONDS, IDS_WARN_30_SECONDS, IDS_WARN_NONE};
    for (int next = 1; next < 4; ++next) {
        screen = options();
        EXPECT_EQ(chosen(screen, IDC_MODE_LIST), ResourceText(IDS_REPLY_EVERY_CALLER));
        EXPECT_EQ(chosen(screen, IDC_DELAY_LIST), ResourceText(delays[next - 1]));
        Output({"press", "down"});
        Output({"press", "right"});
        Output({"press", "soft1"});
    }
    EXPECT_EQ(chosen(options(), IDC_DELAY_LIST), ResourceText(IDS_WARN_NONE));
    Output({"press", "back"});
    ExpectPrints({"menu", "Cancel"}, "chose Cancel\n"); // the options were stored already
    ExpectPrints({"menu", "Exit"}, "chose Exit\n");
    ASSERT_TRUE(RunningAre({}));
    EXPECT_EQ(Setting("ARWarn"), "REG_DWORD 0");
    EXPECT_EQ(Setting("ARMode"), "REG_DWORD 0");
}

TEST_F(AutoReplyWithoutHelperLibrary, TurningOnFailsAndKeepsTheScreenOpenAndTheSwitchOff)
{
    StartOnMainScreen();
    OpenSettings();
    Output({"press", "action"});
    Output({"press", "soft1"});
    EXPECT_EQ(Json({"screen", "--json"})["title"].text, "Auto-reply");
    ExpectPrints({"menu", "Cancel"}, "chose Cancel\n");
    ExpectPrints({"menu", "Exit"}, "chose Exit\n");
    ASSERT_TRUE(RunningAre({}));
    EXPECT_EQ(Setting("AREnable"), "REG_DWORD 0");
}
