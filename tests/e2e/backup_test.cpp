// The backup screen of the installed Zelkova through the device tool, on a device whose clock stands at
// 15 June 2008 09:30 (UTC): backing the texts up to a volume and offering it by mail, restoring them, the
// failures a user meets, cancelling, the CSV export byte for byte, and a backup killed halfway.
#include "e2e/ZelkovaPhone.h"

#include "store/Owners.h"
#include "store/SmsStore.h"

#include <cemapi.h>
#include <windbase.h>

#include "cemapi/SmsDevice.h"
#include "device/Database.h"
#include "device/Device.h"
#include "device/Text.h"
#include "support/TempDevice.h"

#include "ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>

using namespace e2e_testing;

namespace {

constexpr int kProgressBar = IDC_BACKUP_PROGRESS;
constexpr int kFileName = 1152; // the file dialogs' name field
constexpr const char* kVolumePassword = "wdKf4x_Lrj9_";

int64_t Ticks(const std::string& time)
{
    return testing_support::CivilTicks(time); // the device's zone is UTC
}

class ZelkovaBackup : public ZelkovaPhone {
protected:
    JsonValue Screen() { return Json({"screen", "--json"}); }
    std::string Title() { return Screen()["title"].text; }
    std::string BoxText() { return Screen()["messagebox"]["text"].text; }
    void Press(const std::string& key) { ExpectPrints({"press", key}, "pressed " + key + "\n"); }
    void Answer(const std::string& button) { ExpectPrints({"answer", button}, "answered " + button + "\n"); }
    void Row(int row) { ExpectPrints({"row", std::to_string(row)}, "selected row " + std::to_string(row) + "\n"); }
    void Type(const std::string& text) { ExpectPrints({"type", text}, "typed " + text + "\n"); }

    std::string Documents(const std::string& name) const
    {
        return (m_device.Dir() / "fs" / "My Documents" / name).string();
    }

    // Three received texts and two sent, each with one party.
    void FillStore()
    {
        device::sms::Receive({{u"Anna", u"+15550101"}, u"Lunch at \"noon\"?", Ticks("2008-06-14 12:00:05"), true});
        device::sms::Receive({{u"", u"+15550102"}, u"Call me", Ticks("2008-06-15 08:00:00"), false});
        device::sms::Receive({{u"Bob", u"+15550103"}, u"Old news", Ticks("2008-06-01 17:30:59"), true});
        device::sms::RecordSent({{{u"Anna", u"+15550101"}}, u"Yes, noon", Ticks("2008-06-14 12:03:00")});
        device::sms::RecordSent({{{u"Cid", u"+15550104"}}, u"On my way", Ticks("2008-06-15 09:00:00")});
    }

    // Received texts "Text N" (N from 0, a minute apart, newest first), then sent ones older still.
    void FillMany(int received, int sent)
    {
        device::Transaction together(device::Db());
        int64_t newest = Ticks("2008-06-15 09:00:00");
        for (int i = 0; i < received + sent; ++i) {
            std::u16string text = u"Text " + device::Utf16FromUtf8(std::to_string(i));
            int64_t time = newest - i * 60 * device::kTicksPerSecond;
            if (i < received)
                device::sms::Receive({{u"Anna", u"+15550101"}, text, time, false});
            else
                device::sms::RecordSent({{{u"Bob", u"+15550102"}}, text, time});
        }
        together.Commit();
    }

    static size_t StoreCount()
    {
        size_t count = 0;
        for (device::sms::Folder folder : {device::sms::Folder::Inbox, device::sms::Folder::Sent})
            device::sms::List(folder, [&](const device::sms::Message&) { return ++count, true; });
        return count;
    }

    // The texts of the messages in the store and in the backup files of those names.
    std::set<std::string> TextsIn(const std::vector<std::string>& files)
    {
        std::set<std::string> texts;
        for (const JsonValue& message : Json({"sms", "list", "--json"}).items)
            texts.insert(message["text"].text);
        for (const std::string& file : files)
            for (const JsonValue& record : Records(file).items)
                texts.insert(record["properties"][6]["value"].text);
        return texts;
    }

    // The store as `phone sms list` shows it, each message's folder, parties, text, time and read flag.
    std::vector<std::string> Messages()
    {
        std::vector<std::string> messages;
        for (const JsonValue& m : Json({"sms", "list", "--json"}).items) {
            std::string to;
            for (const JsonValue& party : m["to"].items)
                to += party["name"].text + " <" + party["address"].text + ">;";
            messages.push_back(m["folder"].text + " from " + m["from"]["name"].text + " <" + m["from"]["address"].text +
                               "> to " + to + " \"" + m["text"].text + "\" at " + m["time"].text +
                               (m["read"].boolean ? " read" : " unread"));
        }
        return messages;
    }

    // From the main screen to the backup screen; the program's process id.
    std::string OpenBackupScreen()
    {
        std::string pid = StartOnMainScreen();
        Row(5);
        EXPECT_EQ(ControlOf(Screen(), IDC_BACKUP_LIST)["rows"].Size(), 3u);
        return pid;
    }

    // The progress screen's job started, and waited for until it ends or tells something.
    JsonValue RunJob()
    {
        EXPECT_NE(ControlOf(Screen(), kProgressBar).kind, JsonValue::Null);
        Output({"clock", "advance", "1s"});
        EXPECT_TRUE(process_testing::Eventually([&] {
            JsonValue screen = Screen();
            return screen["messagebox"].kind != JsonValue::Null ||
                   ControlOf(screen, kProgressBar).kind == JsonValue::Null;
        }));
        ExpectPrints({"wait"}, "idle\n"); // what follows the job on the screen's thread
        return Screen();
    }

    // A backup of what the options dialog has, to the file of that name; the mail offer declined.
    void BackUp(const std::string& name)
    {
        Row(0);
        Press("soft1");
        Type(name);
        Press("soft1");
        if (Screen()["messagebox"]["buttons"].Size() == 2)
            Answer("yes"); // replacing the file
        EXPECT_EQ(RunJob()["messagebox"]["text"].text, ResourceText(IDS_OFFER_MAIL_FILE));
        Answer("no");
    }

    // A restore from the typed path, with the options as they stand (confirming the emptying when asked);
    // the screen once the job ended.
    JsonValue Restore(const std::string& path)
    {
        Row(1);
        Press("soft1");
        if (Screen()["messagebox"].kind != JsonValue::Null)
            Answer("yes");
        EXPECT_EQ(ControlOf(Screen(), IDC_CAPTION)["text"].text, ResourceText(IDS_BACKUP_FILE_TITLE));
        Type(path);
        Press("soft1");
        return RunJob();
    }

    // The records of a backup file, in the order the volume lists them.
    JsonValue Records(const std::string& file)
    {
        JsonValue volume = Json({"volume", Documents(file), "--password", kVolumePassword, "--json"});
        EXPECT_EQ(volume["databases"].Size(), 1u);
        return volume["databases"][0]["records"];
    }
};

} // namespace

TEST_F(ZelkovaBackup, BackingUpAsksBeforeReplacingAFileThenOffersItByMail)
{
    FillStore();
    std::ofstream(Documents("Zelkova Backup.qvb")) << "an older file";
    OpenBackupScreen();
    EXPECT_EQ(RowsOf(Screen(), IDC_BACKUP_LIST),
              (std::vector<std::vector<std::string>>{
                  {ResourceText(IDS_ACTION_BACKUP), ResourceText(IDS_ACTION_BACKUP_NOTE)},
                  {ResourceText(IDS_ACTION_RESTORE), ResourceText(IDS_ACTION_RESTORE_NOTE)},
                  {ResourceText(IDS_ACTION_EXPORT), ResourceText(IDS_ACTION_EXPORT_NOTE)}}));

    Press("soft1"); // OK runs the highlighted action
    JsonValue options = Screen();
    EXPECT_EQ(options["title"].text, "Options");
    EXPECT_TRUE(ControlOf(options, IDC_INCLUDE_RECEIVED)["checked"].boolean);
    EXPECT_TRUE(ControlOf(options, IDC_INCLUDE_SENT)["checked"].boolean);
    EXPECT_EQ(ControlOf(options, IDC_BACKUP_CHOICE)["text"].text, ResourceText(IDS_OPTION_DELETE_AFTER_BACKUP));
    EXPECT_FALSE(ControlOf(options, IDC_BACKUP_CHOICE)["checked"].boolean);
    Press("soft1");

    JsonValue files = Screen();
    EXPECT_EQ(files["title"].text, ResourceText(IDS_BACKUP_FILE_TITLE));
    EXPECT_EQ(ControlOf(files, kFileName)["text"].text, "Zelkova Backup.qvb");
    Press("soft1");
    EXPECT_NE(BoxText().find("Zelkova Backup.qvb already exists"), std::string::npos);
    Answer("no"); // back to the name
    EXPECT_EQ(Title(), ResourceText(IDS_BACKUP_FILE_TITLE));
    Press("soft1");
    Answer("yes");

    JsonValue progress = Screen();
    EXPECT_EQ(progress["softkeys"][0]["label"].text, "Cancel");
    EXPECT_FALSE(progress["softkeys"][0]["enabled"].boolean); // nothing to cancel yet
    JsonValue offer = RunJob();
    EXPECT_EQ(offer["messagebox"]["text"].text, ResourceText(IDS_OFFER_MAIL_FILE));
    EXPECT_EQ(offer["messagebox"]["caption"].text, "Zelkova");
    Answer("yes");
    std::string form = Output({"screen"}); // the phone's form, the file attached, left unsent
    EXPECT_EQ(form.rfind("E-mail\n", 0), 0u) << form;
    EXPECT_NE(form.find("Zelkova Backup.qvb"), std::string::npos) << form;
    ExpectPrints({"menu", "Cancel"}, "chose Cancel\n");
    EXPECT_EQ(Title(), "Zelkova"); // the backup screen is done
    JsonValue mail = Json({"composed", "--json"});
    ASSERT_EQ(mail.Size(), 1u);
    EXPECT_EQ(mail[0]["kind"].text, "mail");
    EXPECT_EQ(mail[0]["to"].text, "");
    EXPECT_EQ(mail[0]["subject"].text, ResourceText(IDS_BACKUP_MAIL_SUBJECT));
    EXPECT_EQ(mail[0]["body"].text, ResourceText(IDS_BACKUP_MAIL_BODY));
    EXPECT_EQ(mail[0]["attachments"][0].text, "\\My Documents\\Zelkova Backup.qvb");

    // Written received first, then sent, newest first in each; the volume lists them newest first.
    JsonValue records = Records("Zelkova Backup.qvb");
    ASSERT_EQ(records.Size(), 5u);
    std::vector<std::pair<double, std::string>> written;
    std::vector<std::string> listed;
    for (const JsonValue& record : records.items) {
        const JsonValue& p = record["properties"];
        ASSERT_EQ(p.Size(), 8u);
        std::string line = std::to_string(static_cast<int>(p[0]["value"].number)) + " " + p[1]["value"].text + " " +
                           p[2]["value"].text + " " + p[3]["value"].text + " " + p[4]["value"].text + " " +
                           p[5]["value"].text + " " + p[6]["value"].text + (p[7]["value"].boolean ? " read" : "");
        written.emplace_back(record["oid"].number, line);
        listed.push_back(p[1]["value"].text);
    }
    std::sort(written.begin(), written.end());
    std::vector<std::string> inWritingOrder;
    for (const auto& [oid, line] : written)
        inWritingOrder.push_back(line);
    EXPECT_EQ(inWritingOrder, (std::vector<std::string>{
                                  "0 2008-06-15 08:00:00   +15550102 +15550102 Call me",
                                  "0 2008-06-14 12:00:05   Anna +15550101 Lunch at \"noon\"? read",
                                  "0 2008-06-01 17:30:59   Bob +15550103 Old news read",
                                  "1 2008-06-15 09:00:00 Cid +15550104   On my way read",
                                  "1 2008-06-14 12:03:00 Anna +15550101   Yes, noon read",
                              }));
    EXPECT_TRUE(std::is_sorted(listed.rbegin(), listed.rend()));
    EXPECT_EQ(Messages().size(), 5u); // nothing was deleted
}

TEST_F(ZelkovaBackup, RestoringAfterEmptyingGivesBackEveryMessageAndShowsTheTextAccount)
{
    FillStore();
    std::vector<std::string> before = Messages();
    OpenBackupScreen();
    BackUp("Zelkova Backup");

    Row(1);
    JsonValue options = Screen();
    EXPECT_EQ(ControlOf(options, IDC_BACKUP_CHOICE)["text"].text, ResourceText(IDS_OPTION_EMPTY_BEFORE_RESTORE));
    EXPECT_TRUE(ControlOf(options, IDC_BACKUP_CHOICE)["checked"].boolean);
    Press("soft1");
    JsonValue ask = Screen();
    EXPECT_EQ(ask["messagebox"]["text"].text, ResourceText(IDS_CONFIRM_EMPTY_FOLDERS));
    EXPECT_EQ(ask["messagebox"]["icon"].text, "warning");
    Answer("no"); // the options stay
    EXPECT_EQ(Title(), "Options");
    Press("soft1");
    Answer("yes");
    // A Smartphone at 5.1 has no open dialog: the path is typed, starting from the usual file.
    EXPECT_EQ(ControlOf(Screen(), IDC_ENTRY)["text"].text, "\\My Documents\\Zelkova Backup.qvb");
    Press("soft1");
    EXPECT_EQ(RunJob()["title"].text, "Zelkova"); // the screen closed itself

    EXPECT_EQ(Messages(), before);
    std::vector<device::mail::Request> requests = device::mail::ComposedRequests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().request, "switch");
    EXPECT_EQ(requests.back().account, u"SMS");
    EXPECT_EQ(requests.back().flags, static_cast<uint32_t>(MCF_ACCOUNT_IS_NAME));
    EXPECT_TRUE(ProgramsAre({"Zelkova.exe", "messaging.exe"})); // the messaging application shows the account
}

TEST_F(ZelkovaBackup, RestoresThatCannotBeDoneTellTheUserAndChangeNothing)
{
    OpenBackupScreen();
    Row(0);
    Press("down");
    Press("action"); // without the sent texts, which the next action keeps
    Press("soft1");
    Press("soft1");
    EXPECT_EQ(RunJob()["messagebox"]["text"].text, ResourceText(IDS_OFFER_MAIL_FILE));
    Answer("no");
    EXPECT_EQ(Records("Zelkova Backup.qvb").Size(), 0u);

    FillStore();
    std::vector<std::string> before = Messages();
    std::ofstream(Documents("notes.qvb")) << "not a backup";
    for (std::string path :
         {"\\My Documents\\Zelkova Backup.qvb", "\\My Documents\\missing.qvb", "\\My Documents\\notes.qvb"}) {
        JsonValue ended = Restore(path);
        if (path.find("Zelkova") != std::string::npos) {
            EXPECT_EQ(ended["messagebox"]["text"].text, ResourceText(IDS_BACKUP_EMPTY));
            EXPECT_EQ(ended["messagebox"]["icon"].text, "information");
            Answer("ok");
        }
        EXPECT_EQ(BoxText(), ResourceText(IDS_JOB_FAILED)) << path;
        EXPECT_EQ(Screen()["messagebox"]["icon"].text, "warning");
        Answer("ok");
        EXPECT_NE(ControlOf(Screen(), IDC_BACKUP_LIST).kind, JsonValue::Null); // the screen stays
        EXPECT_EQ(Messages(), before) << path;
    }

    // Without the sent texts chosen, their records are read and passed over: only received texts come back.
    Row(0);
    EXPECT_FALSE(ControlOf(Screen(), IDC_INCLUDE_SENT)["checked"].boolean); // as chosen before
    Press("down");
    Press("action");
    Press("soft1");
    Type("everything");
    Press("soft1");
    RunJob();
    Answer("no");
    EXPECT_EQ(Records("everything.qvb").Size(), 5u);
    device::sms::Receive({{u"Eve", u"+15550105"}, u"Not in the backup", Ticks("2008-06-15 09:10:00"), false});
    Row(1);
    Press("down");
    Press("action");
    Press("soft1");
    Answer("yes");
    Type("\\My Documents\\everything.qvb");
    Press("soft1");
    EXPECT_EQ(RunJob()["title"].text, "Zelkova");
    EXPECT_EQ(Messages(), before); // received texts emptied and restored, sent ones left as they were
}

TEST_F(ZelkovaBackup, CancellingDuringTheReceivedTextsCopiesNoSentOneAndOffersNoMail)
{
    FillMany(2000, 2);
    OpenBackupScreen();
    Row(0);
    Press("soft1");
    Press("soft1");
    Output({"clock", "advance", "1s"});
    // The counter and the bar follow the received texts.
    JsonValue progress;
    int counted = 0, shown = 0;
    ASSERT_TRUE(process_testing::Eventually([&] {
        progress = Screen();
        std::string counter = ControlOf(progress, IDC_BACKUP_COUNTER)["text"].text;
        counted = counter.empty() ? 0 : std::stoi(counter);
        shown = static_cast<int>(ControlOf(progress, kProgressBar)["progress"]["position"].number);
        return counted >= 10 && counter.substr(counter.find('/')) == "/2000";
    }));
    EXPECT_EQ(ControlOf(progress, IDC_BACKUP_STATUS)["text"].text, ResourceText(IDS_FOLDER_RECEIVED));
    EXPECT_EQ(ControlOf(progress, kProgressBar)["progress"]["high"].number, 2000);
    EXPECT_GE(shown, counted); // read after the counter, which follows the bar
    EXPECT_TRUE(progress["softkeys"][0]["enabled"].boolean);

    Press("soft1");
    ASSERT_TRUE(process_testing::Eventually([&] { return ControlOf(Screen(), kProgressBar).kind == JsonValue::Null; }));
    ExpectPrints({"wait"}, "idle\n");
    JsonValue ended = Screen();
    EXPECT_EQ(ended["messagebox"].kind, JsonValue::Null); // no mail offer
    EXPECT_NE(ControlOf(ended, IDC_BACKUP_LIST).kind, JsonValue::Null);
    JsonValue records = Records("Zelkova Backup.qvb");
    EXPECT_GE(records.Size(), static_cast<size_t>(counted));
    EXPECT_LT(records.Size(), 2000u);
    for (const JsonValue& record : records.items)
        EXPECT_EQ(record["properties"][0]["value"].number, 0); // received only
}

TEST_F(ZelkovaBackup, AProgramKilledWhileDeletingAfterCopyingLosesNoMessage)
{
    FillMany(1500, 500);
    std::set<std::string> everything = TextsIn({});
    ASSERT_EQ(everything.size(), 2000u);
    std::vector<std::string> files;
    // Killed early and midway in the received texts, then among the sent ones.
    for (size_t keep : {1850u, 1100u, 300u}) {
        std::string pid = OpenBackupScreen();
        Row(0);
        Press("down");
        Press("down");
        Press("action"); // delete after backup
        Press("soft1");
        files.push_back("killed " + std::to_string(files.size()) + ".qvb");
        Type(files.back());
        Press("soft1");
        Output({"clock", "advance", "1s"});
        ASSERT_TRUE(process_testing::Eventually([&] { return StoreCount() <= keep; }));
        Output({"kill", pid});
        size_t left = StoreCount();
        EXPECT_GT(left, 0u) << "the backup ended before it was killed";

        EXPECT_EQ(TextsIn(files), everything) << "killed at " << left;
    }
}

TEST_F(ZelkovaBackup, TheExportIsWrittenByteForByteAndAMessageWithoutATimeIsNeitherExportedNorBackedUp)
{
    device::sms::Receive(
        {{u"Anna \"A\"", u"+1555\"0101"}, u"Say \"hi\"\tnow\r\nplease", Ticks("2008-06-14 12:00:05"), true});
    device::sms::Receive({{u"", u"+15550102"}, u"Call me", Ticks("2008-06-15 08:00:00"), false});
    device::sms::RecordSent({{{u"Cid", u"+15550104"}}, u"On my way", Ticks("2008-06-15 09:00:00")});
    {
        // A message some other program left without a time.
        SmsStore store;
        ASSERT_EQ(store.Open(), S_OK);
        ComPtr<IMessage> message;
        ASSERT_EQ(store.GetFolder(kReceivedFolder)->CreateMessage(nullptr, 0, message.Out()), S_OK);
        SPropValue subject{};
        subject.ulPropTag = PR_SUBJECT;
        subject.Value.lpszW = const_cast<LPWSTR>(u"No time");
        ASSERT_EQ(message->SetProps(1, &subject, nullptr), S_OK);
    }
    std::ofstream(Documents("Zelkova Export.csv")) << "an older export, longer than the new one will be......";

    OpenBackupScreen();
    Row(2);
    EXPECT_EQ(ControlOf(Screen(), IDC_BACKUP_CHOICE).kind, JsonValue::Null); // hidden
    Press("soft1");
    EXPECT_EQ(ControlOf(Screen(), kFileName)["text"].text, "Zelkova Export.csv");
    Press("soft1");
    Answer("yes"); // replace it
    EXPECT_EQ(RunJob()["messagebox"]["text"].text, ResourceText(IDS_OFFER_MAIL_FILE));
    Answer("no");

    std::u16string expected =
        u"\uFEFF" + device::Utf16FromUtf8(ResourceText(IDS_CSV_HEADER)) +
        u"\"6/15/2008 8:00:00 AM\"\t\"\"\t\"\"\t\"+15550102\"\t\"+15550102\"\t\"Call me\"\t\"Received\"\t\r\n"
        u"\"6/14/2008 12:00:05 PM\"\t\"\"\t\"\"\t\"Anna \"A\"\"\t\"+15550101\"\t\"Say hi\tnow\r\nplease\"\t"
        u"\"Received\"\t\r\n"
        u"\"6/15/2008 9:00:00 AM\"\t\"Cid\"\t\"+15550104\"\t\"\"\t\"\"\t\"On my way\"\t\"Sent\"\t\r\n";
    std::string bytes;
    for (char16_t c : expected)
        bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    std::ifstream file(Documents("Zelkova Export.csv"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), bytes);

    // Backed up with deletion, the timeless message stays and gets no record.
    Row(0);
    Press("down");
    Press("down");
    Press("action");
    Press("soft1");
    Press("soft1");
    RunJob();
    Answer("no");
    EXPECT_EQ(Records("Zelkova Backup.qvb").Size(), 3u);
    std::vector<std::string> left = Messages();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_NE(left[0].find("\"No time\""), std::string::npos);
}

TEST_F(ZelkovaBackup, ARestoreStoresOnlyTheWholeMessagesOfAVolumeWrittenElsewhere)
{
    // The program's database, as another writer may fill it: no property required.
    CEVOLUMEOPTIONS options{};
    options.wVersion = CEVOLUMEOPTIONS_VERSION;
    options.dwFlags = CEDB_PASSWORD;
    std::u16string password = device::Utf16FromUtf8(kVolumePassword);
    std::copy(password.begin(), password.end(), options.wszPassword);
    CEGUID guid;
    ASSERT_TRUE(CeMountDBVolEx(&guid, const_cast<LPWSTR>(u"\\My Documents\\elsewhere.qvb"), &options, CREATE_ALWAYS));
    CEDBASEINFOEX info{};
    info.wVersion = CEDBASEINFOEX_VERSION;
    info.dwFlags = CEDB_VALIDNAME;
    std::copy_n(u"SMS", 4, info.szDbaseName);
    CEPROPSPEC specs[3] = {{CEPROPSPEC_VERSION, 0x00010003, 0, nullptr, 0},
                           {CEPROPSPEC_VERSION, 0x00020040, 0, nullptr, 0},
                           {CEPROPSPEC_VERSION, 0x0007001F, 0, nullptr, 0}};
    ASSERT_NE(CeCreateDatabaseWithProps(&guid, &info, 3, specs), 0u);
    CEOID oid = 0;
    HANDLE db = CeOpenDatabaseInSession(nullptr, &guid, &oid, const_cast<LPWSTR>(u"SMS"), nullptr, 0, nullptr);
    ASSERT_NE(db, INVALID_HANDLE_VALUE);
    auto write = [&](std::optional<LONG> kind, std::optional<int64_t> time, const char16_t* text) {
        std::vector<CEPROPVAL> values;
        if (kind)
            values.push_back({0x00010003, 0, 0, {.lVal = *kind}});
        if (time)
            values.push_back(
                {0x00020040, 0, 0, {.filetime = {static_cast<DWORD>(*time), static_cast<DWORD>(*time >> 32)}}});
        values.push_back({0x0007001F, 0, 0, {.lpwstr = const_cast<LPWSTR>(text)}});
        EXPECT_NE(CeWriteRecordProps(db, 0, static_cast<WORD>(values.size()), values.data()), 0u);
    };
    write(0, Ticks("2008-06-10 10:00:00"), u"Whole");
    write(0, std::nullopt, u"Without a time");
    write(2, Ticks("2008-06-10 11:00:00"), u"Of an outgoing kind");
    write(1, INT64_C(0x7FFFFFFFFFFFFFFF), u"At a time past any date");
    write(std::nullopt, Ticks("2008-06-10 12:00:00"), u"Without a kind");
    write(1, Ticks("2008-06-10 13:00:00"), u"Sent");
    CloseHandle(db);
    ASSERT_TRUE(CeUnmountDBVol(&guid));

    OpenBackupScreen();
    Row(1);
    Press("soft1");
    Answer("yes");
    Type("\\My Documents\\elsewhere.qvb");
    Press("soft1");
    EXPECT_EQ(RunJob()["title"].text, "Zelkova");
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "sent from  <> to  \"Sent\" at 2008-06-10 13:00:00 unread",
                              "inbox from  <> to  \"Without a kind\" at 2008-06-10 12:00:00 unread",
                              "inbox from  <> to  \"Whole\" at 2008-06-10 10:00:00 unread",
                          }));
}

TEST_F(ZelkovaBackup, TheOptionsNeedAFolderAndTheFileChoiceFollowsThePhone)
{
    std::string pid = OpenBackupScreen();
    Row(1);
    Press("action"); // no received texts
    Press("down");
    Press("action"); // nor sent ones: Done greys and refuses
    EXPECT_FALSE(Screen()["softkeys"][0]["enabled"].boolean);
    Press("soft1");
    EXPECT_EQ(Title(), "Options");
    Press("action");
    EXPECT_TRUE(Screen()["softkeys"][0]["enabled"].boolean);
    Press("soft2");
    EXPECT_NE(ControlOf(Screen(), IDC_BACKUP_LIST).kind, JsonValue::Null);
    Output({"kill", pid});

    // Past 5.1 a Smartphone has the open dialog, which takes only a file that exists.
    device::Profile profile = device::CurrentProfile();
    profile.osMinor = 2;
    device::SaveProfile(profile);
    OpenBackupScreen();
    Row(1);
    Press("soft1");
    Answer("yes");
    JsonValue open = Screen();
    EXPECT_EQ(open["title"].text, ResourceText(IDS_BACKUP_FILE_TITLE));
    EXPECT_EQ(ControlOf(open, kFileName)["text"].text, "Zelkova Backup.qvb");
    Press("soft1");
    EXPECT_NE(BoxText().find("File not found"), std::string::npos);
    Answer("ok");
    Press("soft2");
    EXPECT_NE(ControlOf(Screen(), IDC_BACKUP_LIST).kind, JsonValue::Null); // back, with nothing done
    Press("soft2");                                                        // Close
    EXPECT_EQ(Title(), "Zelkova");

    // A PocketPC's OK closes the screen, and the feature counts as used: under AutoExit the program ends.
    profile.platform = "PocketPC";
    device::SaveProfile(profile);
    ExpectPrints({"menu", "Exit"}, "chose Exit\n");
    ASSERT_TRUE(RunningAre({}));
    SetSetting("AutoExit", "REG_DWORD", "1");
    OpenBackupScreen();
    Press("soft1");
    EXPECT_TRUE(RunningAre({}));
}
