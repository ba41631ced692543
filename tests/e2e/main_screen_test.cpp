// The installed Zelkova's main screen through the device tool: what `phone screen` shows, the compose forms
// its first row and its mail commands open, the options screen driven by keys and what reaches the registry;
// and the same program on a device whose helper library is missing.
#include "e2e/ZelkovaPhone.h"

#include "ids.h"

#include <gtest/gtest.h>

using namespace e2e_testing;

namespace {

class ZelkovaMainScreen : public ZelkovaPhone {
protected:
    explicit ZelkovaMainScreen(const std::vector<std::string>& leaveOut = {}) : ZelkovaPhone(leaveOut) {}

    void ExpectMainScreen()
    {
        JsonValue screen = Json({"screen", "--json"});
        EXPECT_EQ(screen["title"].text, "Zelkova");
        EXPECT_EQ(screen["messagebox"].kind, JsonValue::Null);
        EXPECT_EQ(RowsOf(screen, IDC_FEATURE_LIST).size(), 6u);
    }

    static constexpr unsigned kTitles[6] = {IDS_FEATURE_MESSAGE_TO_ME, IDS_FEATURE_GROUPS,
                                            IDS_FEATURE_AUTO_REPLY,    IDS_FEATURE_SCHEDULED,
                                            IDS_FEATURE_STATISTICS,    IDS_FEATURE_BACKUP};
    static constexpr unsigned kSubtitles[6] = {IDS_FEATURE_MESSAGE_TO_ME_NOTE, IDS_FEATURE_GROUPS_NOTE,
                                               IDS_FEATURE_AUTO_REPLY_NOTE,    IDS_FEATURE_SCHEDULED_NOTE,
                                               IDS_FEATURE_STATISTICS_NOTE,    IDS_FEATURE_BACKUP_NOTE};
};

class ZelkovaWithoutHelperLibrary : public ZelkovaMainScreen {
protected:
    ZelkovaWithoutHelperLibrary() : ZelkovaMainScreen({"utils.dll"}) {}
};

} // namespace

TEST_F(ZelkovaMainScreen, PhoneShowsTheWelcomeHintThenTheSixFeaturesWithTitlesSubtitlesAndSoftKeys)
{
    Launch();
    ExpectPrints({"wait"}, "idle\n");
    JsonValue greeting = Json({"screen", "--json"});
    ASSERT_EQ(greeting["messagebox"].kind, JsonValue::Object);
    EXPECT_EQ(greeting["messagebox"]["text"].text, ResourceText(IDS_HINT_WELCOME));
    ExpectPrints({"answer", "ok"}, "answered ok\n");

    // As text: the title first, each row's title and subtitle on lines of their own, the first row marked
    // selected, the soft keys last.
    std::string text = Output({"screen"});
    EXPECT_EQ(text.rfind("Zelkova\n", 0), 0u) << text;
    size_t at = 0;
    for (int row = 0; row < 6; ++row) {
        for (unsigned id : {kTitles[row], kSubtitles[row]}) {
            size_t found = text.find(ResourceText(id), at);
            ASSERT_NE(found, std::string::npos) << "string " << id << " after " << at << " in\n" << text;
            EXPECT_TRUE(text[found - 1] == ' ') << "a word of its own: " << id << " in\n" << text;
            at = found;
        }
    }
    size_t selected = text.find(">");
    ASSERT_NE(selected, std::string::npos) << text;
    EXPECT_LT(selected, text.find(ResourceText(kTitles[0]))) << text;
    EXPECT_EQ(text.find(">", selected + 1), std::string::npos) << "one row selected in\n" << text;
    std::string last = text.substr(text.rfind('\n', text.size() - 2) + 1);
    EXPECT_EQ(last.rfind("Select", 0), 0u) << last;
    EXPECT_EQ(last.substr(last.size() - 5), "Menu\n") << last;

    JsonValue screen = Json({"screen", "--json"});
    EXPECT_EQ(screen["title"].text, "Zelkova");
    EXPECT_EQ(screen["messagebox"].kind, JsonValue::Null);
    ASSERT_EQ(screen["softkeys"].Size(), 2u);
    EXPECT_EQ(screen["softkeys"][0]["label"].text, "Select");
    EXPECT_EQ(screen["softkeys"][1]["label"].text, "Menu");
    std::vector<std::vector<std::string>> rows = RowsOf(screen, IDC_FEATURE_LIST);
    ASSERT_EQ(rows.size(), 6u);
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(rows[row], (std::vector<std::string>{ResourceText(kTitles[row]), ResourceText(kSubtitles[row])}))
            << "row " << row;

    // The menu lists the commands of menu 401; Exit ends the program, which has remembered the hint.
    ExpectPrints({"menu", "Exit"}, "chose Exit\n");
    EXPECT_TRUE(RunningAre({}));
    EXPECT_EQ(Setting("OneTimeMsg_264"), "REG_DWORD 1");
    Launch();
    ExpectPrints({"wait"}, "idle\n");
    ExpectMainScreen();
}

TEST_F(ZelkovaMainScreen, MessageToMeAndTheMailCommandsOpenTheirComposeForms)
{
    SetSetting("MyNumber", "REG_SZ", "+15550123");
    std::string pid = StartOnMainScreen();
    ExpectPrints({"composed"}, "");

    // Each opens the phone's compose form, left here with Cancel or, from an empty field, with Back.
    ExpectPrints({"row", "0"}, "selected row 0\n");
    std::string form = Output({"screen"});
    EXPECT_EQ(form.rfind("Text Message\n", 0), 0u) << form;
    EXPECT_NE(form.find("[+15550123]"), std::string::npos) << form;
    EXPECT_NE(form.find("0/160"), std::string::npos) << form;
    ExpectPrints({"menu", "Cancel"}, "chose Cancel\n");
    ExpectMainScreen();
    ExpectPrints({"menu", "Send feedback"}, "chose Send feedback\n");
    form = Output({"screen"});
    EXPECT_EQ(form.rfind("E-mail\n", 0), 0u) << form;
    EXPECT_NE(form.find("[" + ResourceText(IDS_SUPPORT_MAIL_SUBJECT) + "]"), std::string::npos) << form;
    ExpectPrints({"press", "back"}, "pressed back\n");
    ExpectMainScreen();
    ExpectPrints({"menu", "Tell a friend"}, "chose Tell a friend\n");
    ExpectPrints({"menu", "Cancel"}, "chose Cancel\n");
    EXPECT_EQ(Json({"sms", "list", "--json"}).Size(), 0u); // nothing was sent
    JsonValue forms = Json({"composed", "--json"});
    ASSERT_EQ(forms.Size(), 3u);
    EXPECT_EQ(forms[0]["kind"].text, "sms");
    EXPECT_EQ(forms[0]["account"].text, "SMS");
    EXPECT_EQ(forms[0]["to"].text, "+15550123");
    EXPECT_EQ(forms[0]["subject"].text, "");
    EXPECT_EQ(forms[0]["body"].text, "");

    EXPECT_EQ(forms[1]["kind"].text, "mail");
    EXPECT_EQ(forms[1]["account"].text, "ActiveSync");
    EXPECT_NE(forms[1]["to"].text.find('@'), std::string::npos) << forms[1]["to"].text; // the maker's address
    EXPECT_EQ(forms[1]["subject"].text, ResourceText(IDS_SUPPORT_MAIL_SUBJECT));
    EXPECT_EQ(forms[1]["body"].text, "");

    EXPECT_EQ(forms[2]["kind"].text, "mail");
    EXPECT_EQ(forms[2]["account"].text, "ActiveSync");
    EXPECT_EQ(forms[2]["to"].text, ""); // the user picks the friend
    EXPECT_EQ(forms[2]["subject"].text, ResourceText(IDS_RECOMMEND_MAIL_SUBJECT));
    EXPECT_EQ(forms[2]["body"].text, ResourceText(IDS_RECOMMEND_MAIL_BODY));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(forms[i]["attachments"].Size(), 0u) << i;

    // Without AutoExit the program stays on its main screen throughout.
    EXPECT_TRUE(RunningAre({pid}));
    ExpectMainScreen();
}

TEST_F(ZelkovaMainScreen, TheOptionsScreenStoresAutoExitAndTheNumberWhichTheNextStartUses)
{
    StartOnMainScreen();
    ExpectPrints({"menu", "Options"}, "chose Options\n");
    EXPECT_EQ(Json({"screen", "--json"})["title"].text, "Options");
    Output({"press", "action"}); // tick AutoExit
    Output({"press", "down"});
    ExpectPrints({"type", "+15550123"}, "typed +15550123\n");
    Output({"press", "soft1"}); // Done
    EXPECT_EQ(Setting("AutoExit"), "REG_DWORD 1");
    EXPECT_EQ(Setting("MyNumber"), "REG_SZ +15550123");
    ExpectMainScreen();

    ExpectPrints({"menu", "Exit"}, "chose Exit\n");
    ASSERT_TRUE(RunningAre({}));
    StartOnMainScreen();
    ExpectPrints({"menu", "Options"}, "chose Options\n");
    JsonValue options = Json({"screen", "--json"});
    EXPECT_EQ(options["title"].text, "Options");
    std::string text = Output({"screen"});
    EXPECT_NE(text.find("[x]"), std::string::npos) << text;
    EXPECT_NE(text.find("+15550123"), std::string::npos) << text;
    Output({"press", "soft2"}); // Cancel
    ExpectMainScreen();

    // The number read back goes straight to the compose form, and AutoExit then closes the program; the form
    // stays on the screen until it is left.
    ExpectPrints({"row", "0"}, "selected row 0\n");
    JsonValue forms = Json({"composed", "--json"});
    ASSERT_EQ(forms.Size(), 1u);
    EXPECT_EQ(forms[0]["kind"].text, "sms");
    EXPECT_EQ(forms[0]["to"].text, "+15550123");
    EXPECT_TRUE(ProgramsAre({"messaging.exe"}));
    EXPECT_EQ(Json({"screen", "--json"})["title"].text, "Text Message");
    ExpectPrints({"press", "back"}, "pressed back\n");
    EXPECT_TRUE(ProgramsAre({}));
}

TEST_F(ZelkovaMainScreen, MessageToMeIsTypedAndSentFromThePhonesFormAndReachesSent)
{
    SetSetting("MyNumber", "REG_SZ", "+15550123");
    std::string pid = StartOnMainScreen();
    ExpectPrints({"row", "0"}, "selected row 0\n");
    ExpectPrints({"type", "Milk and bread"}, "typed Milk and bread\n");
    EXPECT_NE(Output({"screen"}).find("14/160"), std::string::npos);
    ExpectPrints({"press", "soft1"}, "pressed soft1\n");
    ExpectMainScreen();
    EXPECT_TRUE(RunningAre({pid}));
    EXPECT_EQ(Lines({"sms", "list"}),
              std::vector<std::string>{"2008-06-15 09:30:00 sent to +15550123: Milk and bread"});
    EXPECT_EQ(Json({"sms", "list", "--folder", "outbox", "--json"}).Size(), 0u);
}

TEST_F(ZelkovaWithoutHelperLibrary, TheMainScreenShowsAndItsComposingCommandsDoNothingVisible)
{
    // AutoExit on: a compose that had succeeded would close the program.
    SetSetting("MyNumber", "REG_SZ", "+15550123");
    SetSetting("AutoExit", "REG_DWORD", "1");
    std::string pid = StartOnMainScreen();
    ExpectMainScreen();

    ExpectPrints({"row", "0"}, "selected row 0\n");
    ExpectPrints({"menu", "Send feedback"}, "chose Send feedback\n");
    ExpectPrints({"menu", "Tell a friend"}, "chose Tell a friend\n");
    ExpectPrints({"composed"}, "");
    EXPECT_TRUE(RunningAre({pid}));
    ExpectMainScreen();

    // Without a stored number the program asks for it, offering nothing it could not learn; confirming
    // keeps it and still composes nothing.
    ExpectPrints({"menu", "Exit"}, "chose Exit\n");
    ASSERT_TRUE(RunningAre({}));
    Output({"reg", "delete", kSettingsKey, "MyNumber"});
    pid = StartOnMainScreen();
    ExpectPrints({"row", "0"}, "selected row 0\n");
    JsonValue entry = Json({"screen", "--json"});
    EXPECT_EQ(ControlOf(entry, IDC_CAPTION)["text"].text, ResourceText(IDS_MY_NUMBER_CAPTION));
    EXPECT_EQ(ControlOf(entry, IDC_ENTRY)["text"].text, ""); // the phone's own number is not to be had
    ASSERT_EQ(entry["softkeys"].Size(), 2u);
    EXPECT_FALSE(entry["softkeys"][0]["enabled"].boolean);
    ExpectPrints({"type", "5550188"}, "typed 5550188\n");
    Output({"press", "soft1"});
    ExpectPrints({"composed"}, "");
    EXPECT_TRUE(RunningAre({pid}));
    ExpectMainScreen();
}
