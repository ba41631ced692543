#include "MapiTesting.h"

#include "device/Clock.h"

using namespace mapi_testing;

class TransportTest : public MapiTest
{
  protected:
    // Writes and submits a message the way the program sends one: in the Drafts folder of the store,
    // seven properties, one recipient, submitted.
    Bytes Send(IMsgStore* store, const char16_t* text, const char16_t* to)
    {
        Ref<IMAPIFolder> drafts = OpenFolder(store, 0x81040102);
        Ref<IMessage> message =
            NewMessage(drafts.get(), {Long(0x00090003, 0), Long(0x0E170003, 0x40000),
                                      Text(0x001A001F, u"IPM.SMStext"), Time(0x30080040, device::NowTicks()),
                                      Text(0x0037001F, text), Long(0x0E080003, 8), Long(0x0E070003, 0x28)});
        EXPECT_EQ(AddRecipients(message.get(), {{Text(0x3003001F, to), Text(0x3002001F, u"SMS"),
                                                 Long(0x0C150003, MAPI_TO)}}),
                  S_OK);
        Bytes id = EntryIdOf(message.get());
        EXPECT_EQ(message->SubmitMessage(0), S_OK);
        return id;
    }
};

TEST_F(TransportTest, SubmittedMessagesWaitInTheOutboxUntilTheSyncSendsThemToSentItems)
{
    Ref<IMsgStore> store = OpenStore(u"SMS");
    Ref<IMAPIFolder> drafts = OpenFolder(store.get(), PR_CE_IPM_DRAFTS_ENTRYID);
    Ref<IMAPIFolder> outbox = OpenFolder(store.get(), PR_IPM_OUTBOX_ENTRYID);
    Ref<IMAPIFolder> sent = OpenFolder(store.get(), 0x35E40102);

    Bytes id = Send(store.get(), u"on its way", u"+15550123");
    EXPECT_EQ(LongProp(drafts.get(), PR_CONTENT_COUNT), 0);
    EXPECT_EQ(LongProp(outbox.get(), PR_CONTENT_COUNT), 1);
    EXPECT_EQ(LongProp(OpenMessage(id).get(), PR_MESSAGE_FLAGS), LONG(0x28 | MSGFLAG_SUBMIT));

    device::AdvanceClock(90 * device::kTicksPerSecond);
    int64_t sentAt = device::NowTicks();
    ASSERT_EQ(MailSyncMessages(u"SMS", 10), S_OK); // by transport, in the background: as the program asks
    EXPECT_EQ(LongProp(outbox.get(), PR_CONTENT_COUNT), 0);
    EXPECT_EQ(LongProp(sent.get(), PR_CONTENT_COUNT), 1);

    Ref<IMessage> message = OpenMessage(id);
    SizedSPropTagArray(4, tags) = {4,
                                   {PR_MESSAGE_DELIVERY_TIME, PR_MESSAGE_FLAGS, PR_MSG_STATUS, PR_SUBJECT}};
    Props props;
    ASSERT_EQ(message->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &props.count, &props.values),
              S_OK);
    EXPECT_EQ(TicksOf(props[0].Value.ft), sentAt);
    EXPECT_EQ(props[1].Value.l, LONG(MSGFLAG_FROMME | MSGFLAG_READ)); // unsent and submitted cleared
    EXPECT_EQ(props[2].Value.l, 0);                                   // no transport has anything left to do
    EXPECT_EQ(std::u16string(props[3].Value.lpszW), u"on its way");
    Ref<IMAPITable> recipients;
    EXPECT_EQ(message->GetRecipientTable(0, recipients.Out()), S_OK);

    // Nothing is sent twice.
    device::AdvanceClock(3600 * device::kTicksPerSecond);
    ASSERT_EQ(MailSyncMessages(u"SMS", 10), S_OK);
    EXPECT_EQ(LongProp(sent.get(), PR_CONTENT_COUNT), 1);
    Props still;
    ASSERT_EQ(message->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &still.count, &still.values),
              S_OK);
    EXPECT_EQ(TicksOf(still[0].Value.ft), sentAt);
}

TEST_F(TransportTest, ASubmittedMessageObjectIsSpentAndOneWithoutRecipientsStaysWhereItWas)
{
    Ref<IMsgStore> store = OpenStore(u"SMS");
    Ref<IMAPIFolder> drafts = OpenFolder(store.get(), PR_CE_IPM_DRAFTS_ENTRYID);
    Ref<IMessage> lonely = NewMessage(drafts.get(), {Text(PR_SUBJECT, u"to nobody")});
    EXPECT_EQ(lonely->SubmitMessage(0), MAPI_E_NO_RECIPIENTS);
    EXPECT_EQ(LongProp(drafts.get(), PR_CONTENT_COUNT), 1);
    ASSERT_EQ(AddRecipients(lonely.get(), {{Text(PR_EMAIL_ADDRESS, u"+1555")}}), S_OK); // still usable

    ASSERT_EQ(lonely->SubmitMessage(0), S_OK);
    auto subject = Text(PR_SUBJECT, u"changed after submitting");
    EXPECT_EQ(lonely->SetProps(1, &subject, nullptr), MAPI_E_INVALID_OBJECT);
    EXPECT_EQ(lonely->SubmitMessage(0), MAPI_E_INVALID_OBJECT);
}

TEST_F(TransportTest, SyncSendsOnlyTheAccountItNames)
{
    Ref<IMsgStore> sms = OpenStore(u"SMS");
    Ref<IMsgStore> mail = OpenStore(u"ActiveSync");
    Send(sms.get(), u"text", u"+1555");
    Send(mail.get(), u"mail", u"someone@example.com");
    Ref<IMAPIFolder> smsOutbox = OpenFolder(sms.get(), PR_IPM_OUTBOX_ENTRYID);
    Ref<IMAPIFolder> mailOutbox = OpenFolder(mail.get(), PR_IPM_OUTBOX_ENTRYID);

    EXPECT_EQ(MailSyncMessages(u"Nowhere", MCF_ACCOUNT_IS_NAME), E_INVALIDARG);
    EXPECT_EQ(MailSyncMessages(u"SMS", MCF_ACCOUNT_IS_NAME | MCF_ACCOUNT_IS_TRANSPORT), E_INVALIDARG);
    EXPECT_EQ(MailSyncMessages(u"SMS", 0x100), E_INVALIDARG);
    ASSERT_EQ(MailSyncMessages(u"ActiveSync", MCF_ACCOUNT_IS_NAME), S_OK);
    EXPECT_EQ(LongProp(mailOutbox.get(), PR_CONTENT_COUNT), 0);
    EXPECT_EQ(LongProp(smsOutbox.get(), PR_CONTENT_COUNT), 1);

    // Without an account the current one is synchronised: the one switched to, else text messages.
    ASSERT_EQ(MailSyncMessages(nullptr, 0), S_OK);
    EXPECT_EQ(LongProp(smsOutbox.get(), PR_CONTENT_COUNT), 0);
    Send(sms.get(), u"again", u"+1555");
    ASSERT_EQ(MailSwitchToAccount(u"ActiveSync", MCF_ACCOUNT_IS_NAME), S_OK);
    ASSERT_EQ(MailSyncMessages(nullptr, 0), S_OK);
    EXPECT_EQ(LongProp(smsOutbox.get(), PR_CONTENT_COUNT), 1);
}
