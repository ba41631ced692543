#include "store/Send.h"

#include "schedule/ScheduledMessage.h"

#include "StoreTesting.h"

#include "device/Clock.h"
#include "device/Database.h"
#include "pimstore/ContactsDevice.h"

using namespace program_testing;

using Sending = StoreTest;

TEST_F(Sending, AMessageIsSubmittedToItsOneRecipientAndSentAtOnce)
{
    SmsStore store;
    ASSERT_EQ(store.Open(), S_OK);
    ASSERT_EQ(Send(store, u"Ann", u"555 101", u"Running late"), S_OK);
    ASSERT_EQ(Send(store, nullptr, u"555 202", u"On my way"), S_OK);

    EXPECT_TRUE(ListOf(Folder::Outbox).empty());
    auto sent = ListOf(Folder::Sent);
    ASSERT_EQ(sent.size(), 2u);
    const device::sms::Message& first = sent[1].text == u"Running late" ? sent[1] : sent[0];
    const device::sms::Message& second = sent[1].text == u"Running late" ? sent[0] : sent[1];
    ASSERT_EQ(first.to.size(), 1u);
    EXPECT_EQ(first.to[0].name, u"Ann");
    EXPECT_EQ(first.to[0].address, u"555 101");
    EXPECT_EQ(second.text, u"On my way");

    Props props = PropsOf(
        first.entryId, {PR_CONTENT_LENGTH, PR_MESSAGE_CLASS, PR_LAST_MODIFICATION_TIME, PR_SUBJECT, PR_MESSAGE_SIZE});
    ASSERT_EQ(props.count, 5u);
    EXPECT_EQ(props[0].ulPropTag, PR_CONTENT_LENGTH);
    EXPECT_EQ(props[0].Value.l, 0);
    EXPECT_EQ(std::u16string(props[1].Value.lpszW), u"IPM.SMStext");
    EXPECT_EQ(props[2].ulPropTag, PR_LAST_MODIFICATION_TIME);
    EXPECT_EQ(TicksOf(props[2].Value.ft), device::NowTicks()); // the device's UTC now
    EXPECT_EQ(std::u16string(props[3].Value.lpszW), u"Running late");
    EXPECT_EQ(props[4].Value.l, 24);

    EXPECT_EQ(RecipientTags(first.entryId),
              (std::vector<std::vector<ULONG>>{{PR_EMAIL_ADDRESS, PR_ADDRTYPE, PR_RECIPIENT_TYPE, PR_DISPLAY_NAME}}));
    EXPECT_EQ(RecipientTags(second.entryId),
              (std::vector<std::vector<ULONG>>{{PR_EMAIL_ADDRESS, PR_ADDRTYPE, PR_RECIPIENT_TYPE}}));
}

TEST_F(Sending, AScheduledMessageGoesToEveryMemberThatCanStillBeReached)
{
    CEOID ann = device::contacts::Add(u"Ann", u"555 101");
    CEOID bob = device::contacts::Add(u"Bob", u"555 202");
    CEOID cy = device::contacts::Add(u"Cy", u"555 303");
    CEOID dee = device::contacts::Add(u"Dee", u""); // no mobile number: nowhere to send
    ASSERT_TRUE(device::contacts::Delete(bob));

    ScheduledMessage message;
    ASSERT_EQ(message.SetText(u"Dinner at eight"), S_OK);
    for (CEOID id : {ann, bob, cy, dee})
        message.AddMember(id);
    EXPECT_EQ(SendToMembers(message), S_OK);

    auto sent = ListOf(Folder::Sent);
    ASSERT_EQ(sent.size(), 2u);
    std::vector<std::u16string> to;
    for (const auto& m : sent) {
        EXPECT_EQ(m.text, u"Dinner at eight");
        ASSERT_EQ(m.to.size(), 1u);
        to.push_back(m.to[0].name + u" " + m.to[0].address);
    }
    std::sort(to.begin(), to.end());
    EXPECT_EQ(to, (std::vector<std::u16string>{u"Ann 555 101", u"Cy 555 303"}));
    EXPECT_EQ(MessageCount(), 2u);
}

TEST_F(Sending, AScheduledRunSucceedsOnceTheStoresOpenEvenIfNothingCanBeSent)
{
    CEOID ann = device::contacts::Add(u"Ann", u"555 101");
    ScheduledMessage empty;
    ASSERT_EQ(empty.SetText(u"Hello"), S_OK);
    EXPECT_EQ(SendToMembers(empty), S_OK);

    ScheduledMessage tooLong;
    std::u16string body(161, u'x');
    ASSERT_EQ(tooLong.SetText(body.c_str()), S_OK);
    tooLong.AddMember(ann);
    EXPECT_EQ(SendToMembers(tooLong), S_OK);
    EXPECT_EQ(MessageCount(), 0u);
}

TEST_F(Sending, WithoutAStoreNamedExactlySmsNothingIsOpenedOrSent)
{
    CEOID ann = device::contacts::Add(u"Ann", u"555 101");
    device::Statement(device::Db(), "UPDATE mapi_stores SET display_name = 'sms' WHERE display_name = 'SMS'").Execute();
    SmsStore store;
    EXPECT_TRUE(FAILED(store.Open()));
    for (DWORD kind = 0; kind < kFolderKindCount; ++kind)
        EXPECT_EQ(store.GetFolder(kind), nullptr) << kind;

    ScheduledMessage message;
    ASSERT_EQ(message.SetText(u"Hello"), S_OK);
    message.AddMember(ann);
    EXPECT_TRUE(FAILED(SendToMembers(message)));
    EXPECT_EQ(MessageCount(), 0u);
}
