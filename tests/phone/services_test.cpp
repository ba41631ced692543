// The device tool's view of the device services: contacts, the SMS store, compose requests, and the
// sample device 'phone up' makes. What the tool writes is read back through the device's own interfaces.
#include "phone/JsonValue.h"
#include "phone/PhoneTool.h"
#include "services/MapiTesting.h"

#include "device/Clock.h"
#include "pimstore/ContactsDevice.h"

#include <cemapi.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace process_testing;
using namespace phone_testing;

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class PhoneServices : public PhoneTool {
protected:
    JsonValue Messages(const std::vector<std::string>& arguments)
    {
        std::string out = Output(arguments);
        std::optional<JsonValue> messages = ParseJson(out);
        EXPECT_TRUE(messages && messages->kind == JsonValue::Array) << out;
        return messages.value_or(JsonValue{});
    }

    // Writes and submits a text message as a device program does: seven properties and a recipient, in the
    // SMS store's drafts, submitted. Then, when told, lets the transport send what waits.
    static void Submit(const char16_t* to, const char16_t* text, bool sync)
    {
        using namespace mapi_testing;
        ASSERT_EQ(MAPIInitialize(nullptr), S_OK);
        {
            Ref<IMAPISession> session;
            ASSERT_EQ(MAPILogonEx(0, nullptr, nullptr, 0, session.Out()), S_OK);
            Ref<IMAPITable> stores;
            ASSERT_EQ(session->GetMsgStoresTable(0, stores.Out()), S_OK);
            SizedSPropTagArray(2, columns) = {2, {PR_ENTRYID, PR_DISPLAY_NAME}};
            ASSERT_EQ(stores->SetColumns(reinterpret_cast<LPSPropTagArray>(&columns), 0), S_OK);
            Bytes storeId;
            for (;;) {
                Rows rows;
                ASSERT_EQ(stores->QueryRows(1, 0, &rows.set), S_OK);
                if (!rows.set || rows.set->cRows == 0)
                    break;
                const SRow& row = rows.set->aRow[0];
                if (std::u16string(row.lpProps[1].Value.lpszW) == u"SMS")
                    storeId = BytesOf(row.lpProps[0].Value.bin);
            }
            Ref<IMsgStore> store;
            ASSERT_EQ(session->OpenMsgStore(0, static_cast<ULONG>(storeId.size()), EntryOf(storeId), nullptr, 0,
                                            store.Out()),
                      S_OK);
            SizedSPropTagArray(1, draftsTag) = {1, {PR_CE_IPM_DRAFTS_ENTRYID}};
            Props drafts;
            ASSERT_EQ(store->GetProps(reinterpret_cast<LPSPropTagArray>(&draftsTag), 0, &drafts.count, &drafts.values),
                      S_OK);
            Bytes draftsId = BytesOf(drafts[0].Value.bin);
            Ref<IMAPIFolder> folder;
            ASSERT_EQ(store->OpenEntry(static_cast<ULONG>(draftsId.size()), EntryOf(draftsId), nullptr, 0, nullptr,
                                       folder.OutUnknown()),
                      S_OK);
            Ref<IMessage> message;
            ASSERT_EQ(folder->CreateMessage(nullptr, 0, message.Out()), S_OK);
            SPropValue values[] = {Text(PR_MESSAGE_CLASS, u"IPM.SMStext"), Text(PR_SUBJECT, text),
                                   Long(PR_MESSAGE_FLAGS, MSGFLAG_UNSENT | MSGFLAG_FROMME),
                                   Long(PR_MSG_STATUS, MSGSTATUS_RECTYPE_SMS)};
            ASSERT_EQ(message->SetProps(4, values, nullptr), S_OK);
            SPropValue recipient[] = {Text(PR_EMAIL_ADDRESS, to), Text(PR_ADDRTYPE, u"SMS"),
                                      Long(PR_RECIPIENT_TYPE, MAPI_TO)};
            std::vector<uint8_t> buffer(CbNewADRLIST(1));
            auto list = reinterpret_cast<LPADRLIST>(buffer.data());
            list->cEntries = 1;
            list->aEntries[0].cValues = 3;
            list->aEntries[0].rgPropVals = recipient;
            ASSERT_EQ(message->ModifyRecipients(MODRECIP_ADD, list), S_OK);
            ASSERT_EQ(message->SubmitMessage(0), S_OK);
            if (sync) {
                ASSERT_EQ(MailSyncMessages(u"SMS", MCF_ACCOUNT_IS_TRANSPORT), S_OK);
            }
            session->Logoff(0, 0, 0);
        }
        MAPIUninitialize();
    }
};

} // namespace

TEST_F(PhoneServices, ContactsAreAddedListedAndDeletedByObjectId)
{
    std::string added = Output({"contacts", "add", "--name", "Ann Example", "--mobile", "+15550101"});
    ASSERT_EQ(added.rfind("added ", 0), 0u) << added;
    std::string ann = added.substr(6, added.find(' ', 6) - 6);
    EXPECT_EQ(added, "added " + ann + " Ann Example\n");
    std::string bob = Output({"contacts", "add", "--name", "bob", "--home", "5550177", "--work", "5550188"}).substr(6);
    bob = bob.substr(0, bob.find(' '));
    ExpectPrints({"contacts", "list"}, ann + "\tAnn Example\t+15550101\t\t\n" + bob + "\tbob\t\t5550188\t5550177\n");
    // The store the program reads has them.
    auto found = device::contacts::Find(static_cast<uint32_t>(std::stoul(ann)));
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->mobile, u"+15550101");
    EXPECT_EQ(device::contacts::Find(static_cast<uint32_t>(std::stoul(bob)))->work, u"5550188");

    ExpectFails({"contacts", "add", "--mobile", "+15550102"}, 2); // no name
    ExpectFails({"contacts", "add", "--name", std::string(1100, 'x')}, 2);
    ExpectFails({"contacts", "add", "--name", "Cy", "--home", std::string(1100, '5')}, 2);
    ExpectFails({"contacts", "delete", "0"}, 2);
    ExpectFails({"contacts", "delete", "ann"}, 2);
    ExpectFails({"contacts", "rename", ann}, 2);
    ExpectPrints({"contacts", "delete", ann}, "deleted " + ann + "\n");
    ExpectFails({"contacts", "delete", ann}, 1);
    ExpectPrints({"contacts", "list"}, bob + "\tbob\t\t5550188\t5550177\n");
    EXPECT_FALSE(device::contacts::Find(static_cast<uint32_t>(std::stoul(ann))).has_value());
}

TEST_F(PhoneServices, ReceivedMessagesAreListedNewestFirstWithTheirFields)
{
    ExpectPrints({"sms", "receive", "--from", "+15550101", "--name", "Ann", "--text", "first", "--at",
                  "2008-06-01 10:00:00"},
                 "received from +15550101 at 2008-06-01 10:00:00\n");
    ExpectPrints({"sms", "receive", "--from", "+15550102", "--text", "\"quoted\"\nand two lines", "--at",
                  "2008-06-03 08:15:00"},
                 "received from +15550102 at 2008-06-03 08:15:00\n");
    ExpectPrints({"sms", "receive", "--from", "+15550103", "--text", "now"},
                 "received from +15550103 at 2008-06-15 09:30:00\n"); // the device clock

    JsonValue inbox = Messages({"sms", "list", "--json"});
    ASSERT_EQ(inbox.Size(), 3u);
    EXPECT_EQ(inbox[0]["text"].text, "now");
    EXPECT_EQ(inbox[0]["time"].text, "2008-06-15 09:30:00");
    EXPECT_EQ(inbox[1]["text"].text, "\"quoted\"\nand two lines");
    EXPECT_EQ(inbox[1]["from"]["name"].text, "+15550102"); // shown by its address without a name
    const JsonValue& first = inbox[2];
    EXPECT_EQ(first["folder"].text, "inbox");
    EXPECT_EQ(first["from"]["name"].text, "Ann");
    EXPECT_EQ(first["from"]["address"].text, "+15550101");
    EXPECT_EQ(first["to"].kind, JsonValue::Array);
    EXPECT_EQ(first["to"].Size(), 0u);
    EXPECT_EQ(first["time"].text, "2008-06-01 10:00:00");
    EXPECT_FALSE(first["read"].boolean);
    EXPECT_EQ(first["flags"].kind, JsonValue::Number);
    EXPECT_EQ(Messages({"sms", "list", "--folder", "sent", "--json"}).Size(), 0u);
    std::vector<std::string> lines = Lines(Output({"sms", "list", "--folder", "inbox"}));
    ASSERT_EQ(lines.size(), 4u); // the second message's text has two lines
    EXPECT_EQ(lines[0], "2008-06-15 09:30:00 inbox from +15550103 (unread): now");
    EXPECT_EQ(lines[3], "2008-06-01 10:00:00 inbox from Ann <+15550101> (unread): first");

    ExpectFails({"sms", "receive", "--from", "+1555", "--text", "x", "--at", "2008-02-30 10:00:00"}, 2);
    ExpectFails({"sms", "receive", "--from", "+1555", "--text", "x", "--at", "yesterday"}, 2);
    ExpectFails({"sms", "receive", "--text", "nobody sent this"}, 2);
    ExpectFails({"sms", "receive", "--from", "+1555"}, 2);
    ExpectFails({"sms", "receive", "--from", "+1555", "--text", std::string(40000, 'x')}, 2); // over the store's limit
    ExpectFails({"sms", "list", "--folder", "drafts"}, 2);
    ExpectFails({"sms", "forward"}, 2);
    EXPECT_EQ(Messages({"sms", "list", "--json"}).Size(), 3u);
}

TEST_F(PhoneServices, ASubmittedMessageWaitsInTheOutboxAndIsListedAsSentAfterSynchronisation)
{
    Submit(u"+15550123", u"on its way", false);
    JsonValue outbox = Messages({"sms", "list", "--folder", "outbox", "--json"});
    ASSERT_EQ(outbox.Size(), 1u);
    EXPECT_EQ(outbox[0]["folder"].text, "outbox");
    EXPECT_EQ(Messages({"sms", "list", "--folder", "sent", "--json"}).Size(), 0u);

    device::AdvanceClock(90 * device::kTicksPerSecond);
    Submit(u"+15550124", u"right behind", true); // the sync sends both
    EXPECT_EQ(Messages({"sms", "list", "--folder", "outbox", "--json"}).Size(), 0u);
    JsonValue sent = Messages({"sms", "list", "--folder", "sent", "--json"});
    ASSERT_EQ(sent.Size(), 2u);
    for (const JsonValue& message : sent.items) {
        EXPECT_EQ(message["folder"].text, "sent");
        EXPECT_EQ(message["time"].text, "2008-06-15 09:31:30");
        EXPECT_TRUE(message["read"].boolean);
        ASSERT_EQ(message["to"].Size(), 1u);
    }
    std::vector<std::string> addresses = {sent[0]["to"][0]["address"].text, sent[1]["to"][0]["address"].text};
    std::sort(addresses.begin(), addresses.end());
    EXPECT_EQ(addresses, (std::vector<std::string>{"+15550123", "+15550124"}));
}

TEST_F(PhoneServices, ComposeRequestsAreListedInTheOrderAsked)
{
    ExpectPrints({"composed", "--json"}, "[]\n");
    std::filesystem::path documents = m_device.Dir() / "fs" / "My Documents";
    std::filesystem::create_directories(documents);
    std::ofstream(documents / "backup.csv") << "a";
    MAILCOMPOSEFIELDS sms{sizeof(MAILCOMPOSEFIELDS)};
    sms.dwFlags = MCF_ACCOUNT_IS_TRANSPORT;
    sms.pszAccount = u"SMS";
    sms.pszTo = u"+15550101;+15550102";
    sms.pszBody = u"Running late";
    ASSERT_EQ(MailComposeMessage(&sms), S_OK);
    MAILCOMPOSEFIELDS mail{sizeof(MAILCOMPOSEFIELDS)};
    mail.dwFlags = MCF_ACCOUNT_IS_NAME;
    mail.pszAccount = u"ActiveSync";
    mail.pszTo = u"ann@example.com";
    mail.pszSubject = u"Backup";
    mail.pszAttachments = u"\\My Documents\\backup.csv\0";
    mail.cAttachments = 1;
    ASSERT_EQ(MailComposeMessage(&mail), S_OK);
    ASSERT_EQ(MailSwitchToAccount(u"SMS", MCF_ACCOUNT_IS_TRANSPORT), S_OK); // not a compose form

    std::optional<JsonValue> forms = ParseJson(Output({"composed", "--json"}));
    ASSERT_TRUE(forms.has_value());
    ASSERT_EQ(forms->Size(), 2u);
    EXPECT_EQ((*forms)[0]["kind"].text, "sms");
    EXPECT_EQ((*forms)[0]["account"].text, "SMS");
    EXPECT_EQ((*forms)[0]["to"].text, "+15550101;+15550102");
    EXPECT_EQ((*forms)[0]["body"].text, "Running late");
    EXPECT_EQ((*forms)[0]["attachments"].Size(), 0u);
    EXPECT_EQ((*forms)[1]["kind"].text, "mail");
    EXPECT_EQ((*forms)[1]["subject"].text, "Backup");
    ASSERT_EQ((*forms)[1]["attachments"].Size(), 1u);
    EXPECT_EQ((*forms)[1]["attachments"][0].text, "\\My Documents\\backup.csv");
    std::vector<std::string> lines = Lines(Output({"composed"}));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "sms account=SMS to=+15550101;+15550102 subject= body=Running late attachments=");
    ExpectFails({"composed", "--all"}, 2);
}

TEST_F(PhoneServices, UpMakesASampleDeviceAndSaysSoWhenZelkovaIsNotInstalled)
{
    std::filesystem::path image = m_device.Dir().parent_path() / "empty-image";
    std::filesystem::create_directories(image);
    std::filesystem::path fresh = m_device.Dir().parent_path() / "fresh";
    Outcome up = Phone(fresh, {"up"}, {"PHONE_IMAGE=" + image.string()});
    EXPECT_EQ(up.exitCode, 1);
    EXPECT_EQ(up.err, "phone: Zelkova is not installed on the device yet (its program is not part of this build)\n");
    EXPECT_NE(up.out.find("device created at "), std::string::npos);

    std::vector<std::string> contacts = Lines(Phone(fresh, {"contacts", "list"}).out);
    EXPECT_GE(contacts.size(), 5u);
    // Columns: object id, name, mobile, work and home number.
    size_t withMobile = std::count_if(contacts.begin(), contacts.end(), [](const std::string& line) {
        size_t mobile = line.find('\t', line.find('\t') + 1) + 1;
        return line.compare(mobile, 1, "\t") != 0;
    });
    EXPECT_GE(withMobile, 4u);
    EXPECT_LT(withMobile, contacts.size()); // and one without
    std::optional<JsonValue> sent = ParseJson(Phone(fresh, {"sms", "list", "--folder", "sent", "--json"}).out);
    ASSERT_TRUE(sent.has_value());
    EXPECT_GE(sent->Size(), 3u);
    EXPECT_EQ((*sent)[0]["to"].Size(), 1u);
    std::optional<JsonValue> inbox = ParseJson(Phone(fresh, {"sms", "list", "--folder", "inbox", "--json"}).out);
    ASSERT_TRUE(inbox.has_value());
    EXPECT_GE(inbox->Size(), 3u);
    EXPECT_FALSE((*inbox)[0]["read"].boolean);
    EXPECT_GT((*inbox)[0]["time"].text, (*inbox)[inbox->Size() - 1]["time"].text);

    // A second 'up' finds the device and adds nothing to it.
    EXPECT_EQ(Phone(fresh, {"up"}, {"PHONE_IMAGE=" + image.string()}).exitCode, 1);
    EXPECT_EQ(Lines(Phone(fresh, {"contacts", "list"}).out).size(), contacts.size());
}
