// The device's messaging application as programs open it (MailComposeMessage, MailSwitchToAccount) and as a
// user drives it through the device tool: compose forms that refuse what they can't send and send what they
// can, and an account's folders and messages.
#include "phone/JsonValue.h"
#include "phone/PhoneTool.h"
#include "services/MapiTesting.h"

#include "messaging/MessagingResources.h"
#include "process/ProcessTable.h"

#include <cemapi.h>

#include <filesystem>
#include <fstream>

using namespace phone_testing;
using namespace mapi_testing;
using process_testing::Eventually;

namespace {

std::u16string TextIn(const SRow& row, ULONG tag)
{
    const SPropValue* value = Column(row.lpProps, row.cValues, tag);
    return value ? std::u16string(value->Value.lpszW) : std::u16string();
}

// A MAPI session for one look at a store, as a device program makes one.
class MapiSession {
public:
    MapiSession()
    {
        EXPECT_EQ(MAPIInitialize(nullptr), S_OK);
        EXPECT_EQ(MAPILogonEx(0, nullptr, nullptr, 0, m_session.Out()), S_OK);
    }
    ~MapiSession()
    {
        m_session->Logoff(0, 0, 0);
        m_session.Reset();
        MAPIUninitialize();
    }

    // The one message of the account's folder that the store property names; null unless there is exactly one.
    Ref<IMessage> OnlyMessageOf(const char16_t* account, ULONG folderTag)
    {
        Ref<IMAPITable> stores;
        Rows storeRows;
        Ref<IMsgStore> store;
        if (FAILED(m_session->GetMsgStoresTable(0, stores.Out())) || FAILED(stores->QueryRows(10, 0, &storeRows.set)))
            return {};
        for (ULONG i = 0; i < storeRows.set->cRows; ++i) {
            const SRow& row = storeRows.set->aRow[i];
            if (TextIn(row, PR_DISPLAY_NAME) != account)
                continue;
            Bytes id = BytesOf(Column(row.lpProps, row.cValues, PR_ENTRYID)->Value.bin);
            m_session->OpenMsgStore(0, static_cast<ULONG>(id.size()), EntryOf(id), nullptr, 0, store.Out());
        }
        SizedSPropTagArray(1, tags) = {1, {folderTag}};
        Props folderId;
        Ref<IMAPIFolder> folder;
        Ref<IMAPITable> contents;
        Rows messages;
        if (!store ||
            FAILED(store->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &folderId.count, &folderId.values)))
            return {};
        Bytes id = BytesOf(folderId[0].Value.bin);
        if (FAILED(store->OpenEntry(static_cast<ULONG>(id.size()), EntryOf(id), nullptr, 0, nullptr,
                                    folder.OutUnknown())) ||
            FAILED(folder->GetContentsTable(0, contents.Out())) || FAILED(contents->QueryRows(10, 0, &messages.set)) ||
            messages.set->cRows != 1)
            return {};
        Bytes messageId =
            BytesOf(Column(messages.set->aRow[0].lpProps, messages.set->aRow[0].cValues, PR_ENTRYID)->Value.bin);
        Ref<IMessage> message;
        store->OpenEntry(static_cast<ULONG>(messageId.size()), EntryOf(messageId), nullptr, 0, nullptr,
                         message.OutUnknown());
        return message;
    }

private:
    Ref<IMAPISession> m_session;
};

class MessagingApplication : public PhoneTool {
protected:
    JsonValue Json(const std::vector<std::string>& arguments)
    {
        std::string out = Output(arguments);
        std::optional<JsonValue> value = ParseJson(out);
        EXPECT_TRUE(value.has_value()) << out;
        return value.value_or(JsonValue{});
    }
    std::string Title() { return Json({"screen", "--json"})["title"].text; }
    std::string MessageBoxText() { return Json({"screen", "--json"})["messagebox"]["text"].text; }
    void Press(const std::string& key) { ExpectPrints({"press", key}, "pressed " + key + "\n"); }
    void Type(const std::string& text) { ExpectPrints({"type", text}, "typed " + text + "\n"); }

    // Each row of the application's list as its drawn texts.
    std::vector<std::vector<std::string>> ListRows()
    {
        std::vector<std::vector<std::string>> rows;
        for (const JsonValue& row : ControlOf(Json({"screen", "--json"}), IDC_LIST)["rows"].items) {
            rows.emplace_back();
            for (const JsonValue& text : row["drawn"].items)
                rows.back().push_back(text.text);
        }
        return rows;
    }

    bool Running() { return !Output({"ps"}).empty(); }

    static HRESULT ComposeText(const char16_t* to, const char16_t* text)
    {
        MAILCOMPOSEFIELDS fields{sizeof fields};
        fields.dwFlags = MCF_ACCOUNT_IS_TRANSPORT;
        fields.pszAccount = u"SMS";
        fields.pszTo = to;
        fields.pszBody = text;
        return MailComposeMessage(&fields);
    }
};

} // namespace

TEST_F(MessagingApplication, ATextFormRefusesWhatItCannotSendThenSendsOneMessagePerRecipient)
{
    ASSERT_EQ(ComposeText(u"Ann <555 101>; Bob", std::u16string(161, u'x').c_str()), S_OK);
    EXPECT_EQ(Title(), "Text Message");
    std::string form = Output({"screen"});
    EXPECT_NE(form.find("[Ann <555 101>; Bob]"), std::string::npos) << form;
    EXPECT_NE(form.find("161/160"), std::string::npos) << form;
    EXPECT_NE(Output({"ps"}).find(" messaging.exe -request 1\n"), std::string::npos);

    // An address without a number, then the over-long text: each refused by name, nothing written meanwhile.
    Press("soft1");
    EXPECT_EQ(MessageBoxText(), "\"Bob\" has no phone number. Correct the recipient and send again.");
    ExpectPrints({"answer", "ok"}, "answered ok\n");
    Type("Ann <555 101>; Bob <+1 (555) 202>"); // the refused line was selected: typing replaces it
    Press("soft1");
    EXPECT_NE(MessageBoxText().find("161 characters"), std::string::npos);
    ExpectPrints({"answer", "ok"}, "answered ok\n");
    EXPECT_EQ(Json({"sms", "list", "--json"}).Size(), 0u);

    Press("back"); // the caret waits at the text's end
    EXPECT_NE(Output({"screen"}).find("160/160"), std::string::npos);
    Press("soft1");
    EXPECT_TRUE(Eventually([&] { return !Running(); }));
    JsonValue sent = Json({"sms", "list", "--folder", "sent", "--json"});
    ASSERT_EQ(sent.Size(), 2u);
    EXPECT_EQ(sent[0]["text"].text, std::string(160, 'x'));
    std::vector<std::string> to;
    for (const JsonValue& message : sent.items)
        to.push_back(message["to"][0]["name"].text + " " + message["to"][0]["address"].text);
    std::sort(to.begin(), to.end());
    EXPECT_EQ(to, (std::vector<std::string>{"Ann 555 101", "Bob +1 (555) 202"}));
}

TEST_F(MessagingApplication, AnEmailFormShowsItsAttachmentAndSendLeavesTheMailInTheAccountsOutbox)
{
    std::filesystem::path documents = m_device.Dir() / "fs" / "My Documents";
    std::filesystem::create_directories(documents);
    std::ofstream(documents / "Backup.qvb") << "0123456789";
    MAILCOMPOSEFIELDS mail{sizeof mail};
    mail.dwFlags = MCF_ACCOUNT_IS_NAME;
    mail.pszAccount = u"ActiveSync";
    mail.pszTo = u"Ann";
    mail.pszSubject = u"My backup";
    mail.pszBody = u"Attached.";
    mail.pszAttachments = u"\\My Documents\\Backup.qvb\0";
    mail.cAttachments = 1;
    ASSERT_EQ(MailComposeMessage(&mail), S_OK);
    EXPECT_EQ(Title(), "E-mail");
    EXPECT_EQ(ControlOf(Json({"screen", "--json"}), IDC_ATTACHMENT)["text"].text, "Backup.qvb");
    Press("soft1");
    EXPECT_EQ(MessageBoxText(), "\"Ann\" is not an e-mail address. Correct the recipient and send again.");
    ExpectPrints({"answer", "ok"}, "answered ok\n");
    Type("Ann <ann@example.com>");
    Press("down");
    Type("bo@example.com"); // Cc
    Press("soft1");
    EXPECT_TRUE(Eventually([&] { return !Running(); }));

    // The mail waits in the Outbox, submitted, until the account synchronises.
    MapiSession mapi;
    Ref<IMessage> message = mapi.OnlyMessageOf(u"ActiveSync", PR_IPM_OUTBOX_ENTRYID);
    ASSERT_TRUE(message);
    SizedSPropTagArray(4, tags) = {4, {PR_SUBJECT, PR_BODY, PR_MESSAGE_FLAGS, PR_MESSAGE_CLASS}};
    Props props;
    ASSERT_EQ(message->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &props.count, &props.values), S_OK);
    EXPECT_EQ(std::u16string(props[0].Value.lpszW), u"My backup");
    EXPECT_EQ(std::u16string(props[1].Value.lpszW), u"Attached.");
    EXPECT_EQ(props[2].Value.ul & (MSGFLAG_SUBMIT | MSGFLAG_UNSENT), MSGFLAG_SUBMIT | MSGFLAG_UNSENT);
    EXPECT_EQ(std::u16string(props[3].Value.lpszW), u"IPM.Note");
    Ref<IMAPITable> recipients;
    ASSERT_EQ(message->GetRecipientTable(0, recipients.Out()), S_OK);
    Rows to;
    ASSERT_EQ(recipients->QueryRows(10, 0, &to.set), S_OK);
    ASSERT_EQ(to.set->cRows, 2u);
    EXPECT_EQ(TextIn(to.set->aRow[0], PR_DISPLAY_NAME), u"Ann");
    EXPECT_EQ(TextIn(to.set->aRow[0], PR_EMAIL_ADDRESS), u"ann@example.com");
    EXPECT_EQ(TextIn(to.set->aRow[0], PR_ADDRTYPE), u"SMTP");
    EXPECT_EQ(TextIn(to.set->aRow[1], PR_DISPLAY_NAME), u"bo@example.com"); // shown by its address
    const SRow& bo = to.set->aRow[1];
    EXPECT_EQ(Column(bo.lpProps, bo.cValues, PR_RECIPIENT_TYPE)->Value.ul, ULONG(MAPI_CC));
    // The file goes with it by reference.
    Ref<IMAPITable> attachments;
    ASSERT_EQ(message->GetAttachmentTable(0, attachments.Out()), S_OK);
    Rows files;
    ASSERT_EQ(attachments->QueryRows(10, 0, &files.set), S_OK);
    ASSERT_EQ(files.set->cRows, 1u);
    const SRow& file = files.set->aRow[0];
    EXPECT_EQ(TextIn(file, PR_ATTACH_LONG_FILENAME), u"Backup.qvb");
    EXPECT_EQ(Column(file.lpProps, file.cValues, PR_ATTACH_SIZE)->Value.ul, 10u);
    Ref<IAttach> attachment;
    ASSERT_EQ(
        message->OpenAttach(Column(file.lpProps, file.cValues, PR_ATTACH_NUM)->Value.ul, nullptr, 0, attachment.Out()),
        S_OK);
    SizedSPropTagArray(2, fileTags) = {2, {PR_ATTACH_METHOD, PR_ATTACH_LONG_PATHNAME}};
    Props where;
    ASSERT_EQ(attachment->GetProps(reinterpret_cast<LPSPropTagArray>(&fileTags), 0, &where.count, &where.values), S_OK);
    EXPECT_EQ(where[0].Value.ul, ATTACH_BY_REFERENCE);
    EXPECT_EQ(std::u16string(where[1].Value.lpszW), u"\\My Documents\\Backup.qvb");
    EXPECT_EQ(Json({"sms", "list", "--json"}).Size(), 0u);

    // The account's Outbox lists it by its recipients and subject; opened, it shows them and the file.
    ASSERT_EQ(MailSwitchToAccount(u"ActiveSync", MCF_ACCOUNT_IS_NAME), S_OK);
    Press("back");
    ExpectPrints({"row", "2"}, "selected row 2\n");
    EXPECT_EQ(Title(), "Outbox");
    JsonValue outbox = ControlOf(Json({"screen", "--json"}), IDC_LIST);
    ASSERT_EQ(outbox["rows"].Size(), 1u);
    EXPECT_EQ(outbox["rows"][0]["text"].text, "Ann; bo@example.com"); // drawn cut to the column's width
    EXPECT_EQ(outbox["rows"][0]["drawn"][1].text, "My backup");
    ExpectPrints({"row", "0"}, "selected row 0\n");
    JsonValue read = Json({"screen", "--json"});
    EXPECT_EQ(read["title"].text, "E-mail");
    EXPECT_EQ(ControlOf(read, IDC_READ_PARTY)["text"].text, "To: Ann <ann@example.com>; bo@example.com");
    EXPECT_EQ(ControlOf(read, IDC_READ_SUBJECT)["text"].text, "My backup");
    EXPECT_EQ(ControlOf(read, IDC_READ_ATTACHMENT)["text"].text, "Backup.qvb");
    EXPECT_EQ(ControlOf(read, IDC_READ_BODY)["text"].text, "Attached.");
}

TEST_F(MessagingApplication, ASwitchShowsTheAccountsInboxNewestFirstWithItsFoldersAndMessagesToOpen)
{
    Output(
        {"sms", "receive", "--from", "+15550100", "--name", "Ann", "--text", "First", "--at", "2008-06-15 09:00:00"});
    Output({"sms", "receive", "--from", "+15550101", "--text", "Second", "--at", "2008-06-15 09:10:00"});
    ASSERT_EQ(MailSwitchToAccount(u"SMS", MCF_ACCOUNT_IS_NAME), S_OK);
    // Shown when the call returns.
    auto shown = device::FindWindowEntry(device::MostRecentVisibleWindow());
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->title, u"Inbox");
    EXPECT_EQ(ListRows(), (std::vector<std::vector<std::string>>{{"+15550101", "Second"}, {"Ann", "First"}}));

    // Opened, a message is read.
    ExpectPrints({"row", "0"}, "selected row 0\n");
    EXPECT_EQ(Title(), "Text Message");
    EXPECT_EQ(ControlOf(Json({"screen", "--json"}), IDC_READ_PARTY)["text"].text, "From: +15550101");
    EXPECT_EQ(ControlOf(Json({"screen", "--json"}), IDC_READ_BODY)["text"].text, "Second");
    Press("back");
    EXPECT_TRUE(Json({"sms", "list", "--folder", "inbox", "--json"})[0]["read"].boolean);
    Press("back");
    EXPECT_EQ(Title(), "SMS");
    EXPECT_EQ(ListRows(), (std::vector<std::vector<std::string>>{
                              {"Inbox (2)"}, {"Sent Items (0)"}, {"Outbox (0)"}, {"Drafts (0)"}}));

    // A form asked for meanwhile opens over the list and goes back to it; another account is switched to.
    ASSERT_EQ(ComposeText(u"555 303", u"Hi"), S_OK);
    EXPECT_EQ(Title(), "Text Message");
    ExpectPrints({"menu", "Cancel"}, "chose Cancel\n");
    EXPECT_EQ(Title(), "SMS");
    ASSERT_EQ(MailSwitchToAccount(u"ActiveSync", MCF_ACCOUNT_IS_NAME), S_OK);
    EXPECT_EQ(Title(), "Inbox");
    Press("back");
    EXPECT_EQ(Title(), "ActiveSync");
    Press("back");
    EXPECT_TRUE(Eventually([&] { return !Running(); }));
    EXPECT_EQ(Json({"sms", "list", "--json"}).Size(), 2u); // the cancelled form sent nothing

    // A request that names no account opens the form of the account switched to last.
    ASSERT_EQ(MailComposeMessage(nullptr), S_OK);
    EXPECT_EQ(Title(), "E-mail");
    ExpectPrints({"menu", "Cancel"}, "chose Cancel\n");
    EXPECT_TRUE(Eventually([&] { return !Running(); }));
}
