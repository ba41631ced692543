#include "MapiTesting.h"

#include "cemapi/SmsDevice.h"

#include "device/Clock.h"

#include <stdexcept>

using namespace mapi_testing;

namespace
{

std::vector<device::sms::Message> ListOf(device::sms::Folder folder)
{
    std::vector<device::sms::Message> messages;
    device::sms::List(folder, [&](const device::sms::Message& m) {
        messages.push_back(m);
        return true;
    });
    return messages;
}

} // namespace

TEST_F(MapiTest, AReceivedTextArrivesInTheSmsInboxAsTheProgramReadsIt)
{
    int64_t at = testing_support::CivilTicks("2008-06-14 18:05:00");
    device::sms::Receive({{u"Ann", u"+15550001"}, u"See you at six", at, false});
    device::sms::Receive({{u"", u"+15550002"}, u"Who is this?", std::nullopt, true});

    Ref<IMsgStore> store = OpenStore(u"SMS");
    Ref<IMAPIFolder> inbox = OpenFolder(store.get(), PR_CE_IPM_INBOX_ENTRYID);
    EXPECT_EQ(Subjects(inbox.get()), (std::vector<std::u16string>{u"Who is this?", u"See you at six"}));
    EXPECT_EQ(
        LongProp(OpenFolder(OpenStore(u"ActiveSync").get(), PR_CE_IPM_INBOX_ENTRYID).get(), PR_CONTENT_COUNT),
        0);

    auto messages = ListOf(device::sms::Folder::Inbox);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].from.name, u"+15550002"); // without a name the sender shows as its number
    EXPECT_EQ(messages[0].time, device::NowTicks());
    EXPECT_TRUE(messages[0].read);
    EXPECT_EQ(messages[1].from.name, u"Ann");
    EXPECT_EQ(messages[1].from.address, u"+15550001");
    EXPECT_EQ(messages[1].text, u"See you at six");
    EXPECT_EQ(messages[1].time, at);
    EXPECT_FALSE(messages[1].read);
    EXPECT_EQ(messages[1].flags, 0u);
    EXPECT_TRUE(messages[1].to.empty());

    Bytes id = messages[1].entryId;
    Ref<IMessage> message = OpenMessage(id);
    ASSERT_TRUE(message);
    SizedSPropTagArray(2, tags) = {2, {PR_MESSAGE_CLASS, PR_SENDER_EMAIL_ADDRESS}};
    Props props;
    ASSERT_EQ(message->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &props.count, &props.values),
              S_OK);
    EXPECT_EQ(std::u16string(props[0].Value.lpszW), u"IPM.SMStext");
    EXPECT_EQ(std::u16string(props[1].Value.lpszW), u"+15550001");
}

TEST_F(MapiTest, TheSentListShowsRecipientsAndAVisitorCanStopEarly)
{
    Ref<IMsgStore> store = OpenStore(u"SMS");
    Ref<IMAPIFolder> drafts = OpenFolder(store.get(), PR_CE_IPM_DRAFTS_ENTRYID);
    for (const char16_t* text : {u"one", u"two", u"three"}) {
        Ref<IMessage> message =
            NewMessage(drafts.get(), {Text(PR_SUBJECT, text), Long(PR_MESSAGE_FLAGS, 0x28)});
        ASSERT_EQ(
            AddRecipients(message.get(), {{Text(PR_EMAIL_ADDRESS, u"+1555"), Text(PR_DISPLAY_NAME, u"Cy")}}),
            S_OK);
        ASSERT_EQ(message->SubmitMessage(0), S_OK);
        ASSERT_EQ(MailSyncMessages(u"SMS", MCF_ACCOUNT_IS_TRANSPORT), S_OK);
        device::AdvanceClock(device::kTicksPerSecond);
    }
    EXPECT_EQ(ListOf(device::sms::Folder::Outbox).size(), 0u);
    auto sent = ListOf(device::sms::Folder::Sent);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].text, u"three");
    ASSERT_EQ(sent[0].to.size(), 1u);
    EXPECT_EQ(sent[0].to[0].name, u"Cy");
    EXPECT_EQ(sent[0].to[0].address, u"+1555");
    EXPECT_EQ(sent[0].flags, MSGFLAG_FROMME | MSGFLAG_READ);

    int visits = 0;
    device::sms::List(device::sms::Folder::Sent, [&](const device::sms::Message&) { return ++visits < 2; });
    EXPECT_EQ(visits, 2);
}

TEST_F(MapiTest, AReceivedTextOverTheStoresLimitIsRefusedAndNothingArrives)
{
    std::u16string tooLong(32767, u'a');
    EXPECT_THROW(device::sms::Receive({{u"Ann", u"+1555"}, tooLong, std::nullopt, false}),
                 std::invalid_argument);
    EXPECT_THROW(device::sms::Receive({{u"Ann", u""}, u"no sender", std::nullopt, false}),
                 std::invalid_argument);
    EXPECT_TRUE(ListOf(device::sms::Folder::Inbox).empty());
}

TEST_F(MapiTest, ARecordedSentTextIsInSentItemsAsTheTransportLeavesOneAndBadOnesAreRefused)
{
    int64_t at = testing_support::CivilTicks("2008-06-14 18:05:00");
    device::sms::RecordSent({{{u"Ann", u"+15550001"}, {u"", u"+15550002"}}, u"On my way", at});
    EXPECT_THROW(device::sms::RecordSent({{}, u"to nobody", at}), std::invalid_argument);
    EXPECT_THROW(device::sms::RecordSent({{{u"Ann", u""}}, u"no address", at}), std::invalid_argument);
    EXPECT_THROW(device::sms::RecordSent({{{u"Ann", u"+1555"}}, std::u16string(32767, u'a'), at}),
                 std::invalid_argument);

    auto sent = ListOf(device::sms::Folder::Sent);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text, u"On my way");
    EXPECT_EQ(sent[0].time, at);
    EXPECT_EQ(sent[0].flags, MSGFLAG_FROMME | MSGFLAG_READ);
    ASSERT_EQ(sent[0].to.size(), 2u);
    EXPECT_EQ(sent[0].to[0].name, u"Ann");
    EXPECT_EQ(sent[0].to[1].name, u"+15550002"); // without a name the recipient shows as its number
    EXPECT_TRUE(ListOf(device::sms::Folder::Outbox).empty());

    // Read through MAPI as the program reads a sent message: its recipient table.
    Bytes id = sent[0].entryId;
    Ref<IMessage> message = OpenMessage(id);
    ASSERT_TRUE(message);
    Ref<IMAPITable> recipients;
    ASSERT_EQ(message->GetRecipientTable(0, recipients.Out()), S_OK);
    Rows rows;
    ASSERT_EQ(recipients->QueryRows(10, 0, &rows.set), S_OK);
    ASSERT_NE(rows.set, nullptr);
    EXPECT_EQ(rows.set->cRows, 2u);
}
