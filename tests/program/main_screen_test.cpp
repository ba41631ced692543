// The main screen as a user meets it: the welcome hint, the six features, the menu, the options screen
// and what reaches the registry.
#include "program/ProgramTesting.h"

#include "app/MainWindow.h"
#include "automation/Automation.h"
#include "cemapi/SmsDevice.h"

#include "ids.h"

#include <gtest/gtest.h>

using namespace device::automation;
using namespace program_testing;

namespace {

const WindowNode* Find(const std::vector<WindowNode>& nodes, int id)
{
    for (const WindowNode& node : nodes) {
        if (node.id == id)
            return &node;
        if (const WindowNode* found = Find(node.children, id))
            return found;
    }
    return nullptr;
}

std::vector<Row> FeatureRows(const Snapshot& screen)
{
    const WindowNode* list = Find(screen.windows, IDC_FEATURE_LIST);
    return list && list->rows ? *list->rows : std::vector<Row>{};
}

class MainScreen : public ProgramTest {};

} // namespace

TEST_F(MainScreen, FirstStartGreetsOnceThenShowsTheSixFeaturesWithTheFirstSelected)
{
    Start();
    Snapshot greeting = TakeSnapshot();
    ASSERT_TRUE(greeting.messageBox.has_value());
    EXPECT_EQ(greeting.messageBox->text, ResourceText(IDS_HINT_WELCOME));
    EXPECT_EQ(greeting.messageBox->caption, u"Zelkova");
    EXPECT_EQ(greeting.messageBox->icon, "information");
    ASSERT_TRUE(AnswerMessageBox(IDOK));
    // Only the two hints of the program have a flag: any other id shows nothing.
    EXPECT_EQ(ShowHintOnce(MainWindow(), IDS_AUTO_REPLY_DEFAULT_TEXT), E_FAIL);

    Snapshot screen = TakeSnapshot();
    EXPECT_EQ(screen.title, u"Zelkova");
    ASSERT_EQ(screen.softKeys.size(), 2u);
    EXPECT_EQ(screen.softKeys[0].label, u"Select");
    EXPECT_EQ(screen.softKeys[1].label, u"Menu");
    std::vector<Row> rows = FeatureRows(screen);
    ASSERT_EQ(rows.size(), 6u);
    const UINT titles[] = {205, 206, 207, 208, 209, 210};
    for (int row = 0; row < 6; ++row) {
        EXPECT_EQ(rows[row].drawn,
                  (std::vector<std::u16string>{ResourceText(titles[row]), ResourceText(titles[row] + 15)}))
            << "row " << row;
        EXPECT_EQ(rows[row].selected, row == 0);
    }
    // Every row carries its icon, drawn from the resource library.
    HWND list = GetDlgItem(MainWindow(), IDC_FEATURE_LIST);
    EXPECT_EQ(
        ImageList_GetImageCount(reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0))), 6);
    // The window class carries the program file's own icon.
    WNDCLASSW windowClass{};
    ASSERT_TRUE(GetClassInfoW(GetModuleHandleW(nullptr), kMainWindowClass, &windowClass));
    EXPECT_NE(windowClass.hIcon, nullptr);
    EXPECT_EQ(Exit(), 18);

    // The hint was remembered: the next start goes straight to the list.
    Start();
    EXPECT_FALSE(TakeSnapshot().messageBox.has_value());
    EXPECT_EQ(FeatureRows(TakeSnapshot()).size(), 6u);
    EXPECT_EQ(Exit(), 18);
}

TEST_F(MainScreen, AFirstRunWritesEveryDefaultButNoNumber)
{
    Start();
    ASSERT_TRUE(AnswerMessageBox(IDOK));
    EXPECT_FALSE(SettingsKeyExists()); // nothing is written before the end
    ASSERT_EQ(Exit(), 18);

    EXPECT_EQ(StoredNumber(u"AREnable"), std::optional<DWORD>(0));
    EXPECT_EQ(StoredNumber(u"AutoExit"), std::optional<DWORD>(0));
    EXPECT_EQ(StoredNumber(u"SampleGrp"), std::optional<DWORD>(0));
    EXPECT_EQ(StoredNumber(u"ARWarn"), std::optional<DWORD>(10));
    EXPECT_EQ(StoredNumber(u"ARMode"), std::optional<DWORD>(1));
    EXPECT_EQ(StoredNumber(u"OneTimeMsg_264"), std::optional<DWORD>(1));
    EXPECT_EQ(StoredNumber(u"OneTimeMsg_317"), std::optional<DWORD>(0));
    std::optional<StoredValue> reply = Stored(u"ARMsg");
    ASSERT_TRUE(reply.has_value());
    std::u16string defaultReply = ResourceText(IDS_AUTO_REPLY_DEFAULT_TEXT);
    EXPECT_EQ(reply->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(reply->Text(), defaultReply);
    EXPECT_EQ(reply->data.size(), (defaultReply.size() + 1) * sizeof(char16_t)); // with its terminator
    EXPECT_FALSE(Stored(u"MyNumber").has_value());
}

TEST_F(MainScreen, StoredValuesAreReadByTypeAndLengthAndWrittenBackNormalised)
{
    MarkWelcomeHintShown();
    StoreNumber(u"AutoExit", 5);
    StoreNumber(u"ARWarn", 7);
    StoreNumber(u"AREnable", 0xFFFFFFFF);
    const BYTE binaryNumber[] = {'5', 0, '5', 0, 0, 0};
    Store(u"MyNumber", REG_BINARY, binaryNumber, sizeof binaryNumber);
    Store(u"ARMode", REG_SZ, u"3", 4); // a number of the wrong type keeps the default
    StoreText(u"ARMsg", std::u16string(161, u'x'));
    Start();
    // The number of the wrong type reads as none: the options screen shows an empty field.
    ASSERT_TRUE(ChooseMenuItem(u"Options"));
    Snapshot options = TakeSnapshot();
    ASSERT_NE(Find(options.windows, IDC_MY_NUMBER), nullptr);
    EXPECT_EQ(Find(options.windows, IDC_MY_NUMBER)->text, u"");
    EXPECT_EQ(Find(options.windows, IDC_AUTO_EXIT)->checked, std::optional<bool>(true));
    Press(Key::RightSoft); // Cancel
    ASSERT_EQ(Exit(), 18);

    EXPECT_EQ(StoredNumber(u"AutoExit"), std::optional<DWORD>(1));
    EXPECT_EQ(StoredNumber(u"AREnable"), std::optional<DWORD>(1));
    EXPECT_EQ(StoredNumber(u"ARWarn"), std::optional<DWORD>(7));
    EXPECT_EQ(StoredNumber(u"ARMode"), std::optional<DWORD>(1));
    EXPECT_EQ(Stored(u"ARMsg")->Text(),
              ResourceText(IDS_AUTO_REPLY_DEFAULT_TEXT));                 // 161 characters is too long
    EXPECT_EQ(Stored(u"MyNumber")->type, static_cast<DWORD>(REG_BINARY)); // left as it was

    // 160 characters is the longest reply text there is.
    StoreText(u"ARMsg", std::u16string(160, u'y'));
    Start();
    ASSERT_EQ(Exit(), 18);
    EXPECT_EQ(Stored(u"ARMsg")->Text(), std::u16string(160, u'y'));
}

TEST_F(MainScreen, TheOptionsScreenStoresAutoExitAndTheNumberOnlyWhenConfirmed)
{
    MarkWelcomeHintShown();
    Start();
    ASSERT_TRUE(ChooseMenuItem(u"Options"));
    Snapshot options = TakeSnapshot();
    EXPECT_EQ(options.title, u"Options");
    ASSERT_EQ(options.softKeys.size(), 2u);
    EXPECT_EQ(options.softKeys[0].label, u"Done");
    EXPECT_EQ(options.softKeys[1].label, u"Cancel");
    EXPECT_EQ(Find(options.windows, IDC_AUTO_EXIT)->checked, std::optional<bool>(false));
    for (int id : {IDC_AUTO_EXIT, IDC_CAPTION, IDC_MY_NUMBER}) { // 7-pixel margins at 96 dpi
        EXPECT_EQ(Find(options.windows, id)->rect.left, 7) << id;
        EXPECT_EQ(Find(options.windows, id)->rect.right, 240 - 7) << id;
    }
    Press(Key::Action); // tick the box
    Press(Key::Down);
    Type(u"0123");
    Press(Key::RightSoft); // Cancel: nothing changes, nothing is written
    EXPECT_FALSE(Stored(u"AutoExit").has_value());
    EXPECT_FALSE(Stored(u"MyNumber").has_value());

    ASSERT_TRUE(ChooseMenuItem(u"Options"));
    EXPECT_EQ(Find(TakeSnapshot().windows, IDC_AUTO_EXIT)->checked, std::optional<bool>(false));
    EXPECT_EQ(Find(TakeSnapshot().windows, IDC_MY_NUMBER)->text, u"");
    Press(Key::Action);
    Press(Key::Down);
    Type(u"+15550123");
    Press(Key::LeftSoft); // Done writes at once
    EXPECT_EQ(TakeSnapshot().title, u"Zelkova");
    EXPECT_EQ(StoredNumber(u"AutoExit"), std::optional<DWORD>(1));
    std::optional<StoredValue> number = Stored(u"MyNumber");
    ASSERT_TRUE(number.has_value());
    EXPECT_EQ(number->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(number->Text(), u"+15550123");
    EXPECT_EQ(number->data.size(), 10 * sizeof(char16_t));
    ASSERT_EQ(Exit(), 18);

    // A new start reads both back; an emptied field stores an empty number, which row 0 asks for again.
    Start();
    ASSERT_TRUE(ChooseMenuItem(u"Options"));
    EXPECT_EQ(Find(TakeSnapshot().windows, IDC_AUTO_EXIT)->checked, std::optional<bool>(true));
    EXPECT_EQ(Find(TakeSnapshot().windows, IDC_MY_NUMBER)->text, u"+15550123");
    Press(Key::Action); // untick
    Press(Key::Down);
    for (int i = 0; i < 9; ++i)
        Press(Key::Back);
    Press(Key::LeftSoft);
    EXPECT_EQ(StoredNumber(u"AutoExit"), std::optional<DWORD>(0));
    EXPECT_EQ(Stored(u"MyNumber")->Text(), u"");
    EXPECT_EQ(Stored(u"MyNumber")->data.size(), sizeof(char16_t));
    ASSERT_TRUE(SelectRow(0));
    EXPECT_NE(Find(TakeSnapshot().windows, IDC_CAPTION), nullptr); // the entry screen
    Press(Key::RightSoft);
    EXPECT_EQ(Exit(), 18);
}

TEST_F(MainScreen, MessageToMeAsksForTheNumberAndCancelComposesAndStoresNothing)
{
    MarkWelcomeHintShown();
    Start();
    ASSERT_TRUE(SelectRow(0));
    Snapshot entry = TakeSnapshot();
    ASSERT_NE(Find(entry.windows, IDC_ENTRY), nullptr);
    ASSERT_EQ(Find(entry.windows, IDC_ENTRY)->className, u"Edit");
    EXPECT_EQ(Find(entry.windows, IDC_CAPTION)->text, ResourceText(IDS_MY_NUMBER_CAPTION));
    // The field starts with the phone's own number where the helper library can tell it.
    std::u16string offered = Find(entry.windows, IDC_ENTRY)->text;
    if (UtilsInstalled())
        EXPECT_FALSE(offered.empty());
    else
        EXPECT_EQ(offered, u"");
    EXPECT_EQ(entry.softKeys[0].enabled, !offered.empty());
    Press(Key::RightSoft);
    EXPECT_EQ(TakeSnapshot().title, u"Zelkova");
    EXPECT_TRUE(device::mail::ComposedRequests().empty());

    // An empty field keeps Done grey and refuses it; a number confirmed is kept.
    ASSERT_TRUE(SelectRow(0));
    for (size_t i = 0; i < offered.size(); ++i)
        Press(Key::Back);
    EXPECT_FALSE(TakeSnapshot().softKeys[0].enabled);
    PostMessageW(GetForegroundWindow(), WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitIdle());
    ASSERT_NE(Find(TakeSnapshot().windows, IDC_CAPTION), nullptr); // still open
    Type(u"5550188");
    EXPECT_TRUE(TakeSnapshot().softKeys[0].enabled);
    Press(Key::LeftSoft);
    std::vector<device::mail::Request> composed = device::mail::ComposedRequests();
    if (UtilsInstalled()) {
        ASSERT_EQ(composed.size(), 1u);
        EXPECT_EQ(composed[0].kind, "sms");
        EXPECT_NE(composed[0].to.find(u"5550188"), std::u16string::npos);
        // The messaging application's form, addressed to the number; cancelled, it leaves the main screen.
        EXPECT_NE(MessagingScreen().find("[5550188]"), std::string::npos);
        CancelComposeForm();
    } else {
        EXPECT_TRUE(composed.empty()); // the library that composes is not there: nothing happens
        EXPECT_EQ(MessagingScreen(), "");
    }
    EXPECT_EQ(TakeSnapshot().title, u"Zelkova");
    EXPECT_FALSE(Stored(u"MyNumber").has_value()); // kept in memory until the end

    // With a number kept, row 0 goes straight to composing: no entry screen.
    ASSERT_TRUE(SelectRow(0));
    if (UtilsInstalled())
        CancelComposeForm();
    EXPECT_EQ(TakeSnapshot().title, u"Zelkova");
    EXPECT_EQ(device::mail::ComposedRequests().size(), UtilsInstalled() ? 2u : 0u);
    ASSERT_EQ(Exit(), 18);
    EXPECT_EQ(Stored(u"MyNumber")->Text(), u"5550188");
}

TEST_F(MainScreen, AnOwnNumberOfTheLongestKeptLengthIsTypedConfirmedAndReadBackWhole)
{
    MarkWelcomeHintShown();
    const std::u16string longest(Settings::kMyNumberLength, u'7');
    Start();
    ASSERT_TRUE(SelectRow(0));
    for (size_t i = 0; i < 300; ++i) // whatever the phone offered goes
        Press(Key::Back);
    Type(longest + u"89"); // two more than can be kept
    EXPECT_EQ(Find(TakeSnapshot().windows, IDC_ENTRY)->text, longest);
    Press(Key::LeftSoft);
    if (UtilsInstalled())
        CancelComposeForm(); // the number confirmed went on to the compose form
    ASSERT_EQ(Exit(), 18);
    EXPECT_EQ(Stored(u"MyNumber")->Text(), longest);

    // The options screen shows it whole, confirming keeps it whole, and so does the next start.
    Start();
    ASSERT_TRUE(ChooseMenuItem(u"Options"));
    EXPECT_EQ(Find(TakeSnapshot().windows, IDC_MY_NUMBER)->text, longest);
    Press(Key::Down);
    Press(Key::Right); // from the whole text selected to its end
    Type(u"1");
    EXPECT_EQ(Find(TakeSnapshot().windows, IDC_MY_NUMBER)->text, longest);
    Press(Key::LeftSoft);
    EXPECT_EQ(Stored(u"MyNumber")->Text(), longest);
    ASSERT_EQ(Exit(), 18);
    Start();
    EXPECT_EQ(std::u16string(g_mainWindow.GetSettings().MyNumber()), longest);
    ASSERT_EQ(Exit(), 18);
}

TEST_F(MainScreen, OnlyAFeatureThatWasUsedClosesTheProgramUnderAutoExit)
{
    MarkWelcomeHintShown();
    StoreNumber(u"AutoExit", 1);
    Start();
    // Leaving the groups screen with Back is no success.
    ASSERT_TRUE(SelectRow(1));
    EXPECT_EQ(TakeSnapshot().title, u"Groups");
    Press(Key::Back);
    EXPECT_TRUE(IsWindow(MainWindow()));
    EXPECT_EQ(TakeSnapshot().title, u"Zelkova");
    // The statistics screen never closes the program.
    for (int row : {2, 4}) {
        ASSERT_TRUE(SelectRow(row)) << row;
        if (row == 2) { // leaving the auto-reply screen with Back is no success
            EXPECT_EQ(TakeSnapshot().title, u"Auto-reply");
            Press(Key::Back);
        }
        if (row == 4) {
            ASSERT_TRUE(AnswerMessageBox(IDOK)); // its one-time hint
            EXPECT_EQ(TakeSnapshot().title, u"Statistics");
            Press(Key::Back);
        }
        EXPECT_TRUE(IsWindow(MainWindow())) << "row " << row;
        EXPECT_EQ(TakeSnapshot().title, u"Zelkova");
    }
    // The menu's Open runs the selected row as the action key does; both are greyed only without one.
    Press(Key::RightSoft);
    Snapshot menu = TakeSnapshot();
    ASSERT_TRUE(menu.menu.has_value());
    EXPECT_EQ((*menu.menu)[0].text, u"Open");
    EXPECT_TRUE((*menu.menu)[0].enabled);
    Press(Key::Back);
    // The scheduled messages screen counts as used however it is left.
    ASSERT_TRUE(SelectRow(3));
    EXPECT_EQ(TakeSnapshot().title, u"Scheduled messages");
    Press(Key::Back);
    EXPECT_EQ(Finish(), 18);
}

TEST_F(MainScreen, TheMailCommandsComposeThroughTheHelperLibraryAndOtherwiseDoNothing)
{
    MarkWelcomeHintShown();
    Start();
    // Each opens the messaging application's e-mail form, which is cancelled here.
    for (const char16_t* command : {u"Send feedback", u"Tell a friend"}) {
        ASSERT_TRUE(ChooseMenuItem(command));
        if (UtilsInstalled()) {
            EXPECT_EQ(MessagingScreen().rfind("E-mail\n", 0), 0u);
            CancelComposeForm();
        }
    }
    Snapshot screen = TakeSnapshot();
    EXPECT_EQ(screen.title, u"Zelkova");
    EXPECT_TRUE(Find(screen.windows, IDC_FEATURE_LIST)->focused); // the list has the focus after any command
    std::vector<device::mail::Request> composed = device::mail::ComposedRequests();
    if (UtilsInstalled()) {
        ASSERT_EQ(composed.size(), 2u);
        EXPECT_EQ(composed[0].subject, ResourceText(IDS_SUPPORT_MAIL_SUBJECT));
        EXPECT_EQ(composed[1].subject, ResourceText(IDS_RECOMMEND_MAIL_SUBJECT));
        EXPECT_EQ(composed[1].body, ResourceText(IDS_RECOMMEND_MAIL_BODY));
    } else {
        EXPECT_TRUE(composed.empty());
    }
    EXPECT_EQ(Exit(), 18);
}
