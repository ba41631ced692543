#include "store/SmsStore.h"

#include "StoreTesting.h"

#include "device/Clock.h"
#include "device/Device.h"

#include <string>
#include <vector>

using namespace program_testing;

namespace
{

constexpr SYSTEMTIME kNoon = {2008, 6, 0, 14, 12, 0, 0, 0};

SmsRecord Record(DWORD kind, const char16_t* text, const SYSTEMTIME* time = &kNoon)
{
    SmsRecord record = {};
    record.kind = kind;
    record.text = text;
    record.time = time;
    return record;
}

// What a visit saw, copied out of the borrowed record.
struct Visited {
    std::u16string text, senderAddress, recipientAddress;
    bool hasText = false, hasTime = false, hasRecipient = false;
    SYSTEMTIME time = {};
    DWORD read = 0;
};

struct Visit {
    std::vector<Visited> seen;
    HRESULT answer = S_OK;
    size_t stopAfter = 0; // 0: never stop
};

std::u16string Or(LPCWSTR text)
{
    return text ? text : u"";
}

HRESULT Collect(const SmsRecord* record, void* context, BOOL* stop)
{
    auto visit = static_cast<Visit*>(context);
    Visited v;
    v.hasText = record->text != nullptr;
    v.text = Or(record->text);
    v.senderAddress = Or(record->senderAddress);
    v.hasRecipient = record->recipientName || record->recipientAddress;
    v.recipientAddress = Or(record->recipientAddress);
    v.hasTime = record->time != nullptr;
    if (record->time) v.time = *record->time;
    v.read = record->read;
    visit->seen.push_back(v);
    if (visit->seen.size() == visit->stopAfter) *stop = TRUE;
    return visit->answer;
}

class SmsStoreTest : public StoreTest
{
  protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        ASSERT_EQ(m_store.Open(), S_OK);
    }

    void Receive(const char16_t* from, const char16_t* text, const char* at, bool read = false)
    {
        device::sms::Receive({{u"", from}, text, testing_support::CivilTicks(at), read});
    }

    Visit Enumerate(DWORD kind, BOOL shortForm, BOOL deleteAfter, HRESULT answer = S_OK, size_t stopAfter = 0,
                    HRESULT* result = nullptr)
    {
        Visit visit;
        visit.answer = answer;
        visit.stopAfter = stopAfter;
        HRESULT hr = m_store.Enumerate(kind, Collect, &visit, shortForm, deleteAfter);
        if (result)
            *result = hr;
        else
            EXPECT_EQ(hr, S_OK);
        return visit;
    }

    SmsStore m_store;
};

} // namespace

TEST(SmsStoreSession, ClosingTwiceOrWithoutOpeningLeavesTheOtherUsersOfMessagingStarted)
{
    testing_support::TempDevice device;
    SmsStore first;
    ASSERT_EQ(first.Open(), S_OK);
    for (DWORD kind = 0; kind < kFolderKindCount; ++kind)
        EXPECT_NE(first.GetFolder(kind), nullptr) << kind;
    EXPECT_EQ(first.GetFolder(kFolderKindCount), nullptr);

    SmsStore second;
    ASSERT_EQ(second.Open(), S_OK);
    second.Close();
    second.Close();
    EXPECT_EQ(second.GetFolder(kReceivedFolder), nullptr);
    SmsStore neverOpened;
    neverOpened.Close();

    // Only the first store's initialisation is left; a new session can still be made on it.
    Ref<IMAPISession> session;
    EXPECT_EQ(MAPILogonEx(0, nullptr, nullptr, 0, session.Out()), S_OK);
    if (session) session->Logoff(0, 0, 0);
    first.Close();
    session.Reset();
    EXPECT_EQ(MAPILogonEx(0, nullptr, nullptr, 0, session.Out()), MAPI_E_NOT_INITIALIZED);

    // Reopening a closed store works without a Reset in between.
    EXPECT_EQ(first.Open(), S_OK);
    EXPECT_NE(first.GetFolder(kSentFolder), nullptr);
}

TEST_F(SmsStoreTest, WrittenMessagesLandInTheirKindsFolderWithTheirFlags)
{
    SmsRecord received = Record(kReceivedFolder, u"In");
    received.senderAddress = u"+15550001";
    received.read = 1;
    SmsRecord sent = Record(kSentFolder, u"Out");
    sent.recipientAddress = u"+15550002";
    sent.senderAddress = u"+15550100";
    SmsRecord outgoing = Record(kOutgoingFolder, u"Away");
    outgoing.recipientName = u"Bob";
    outgoing.recipientAddress = u"+15550003";
    ASSERT_EQ(m_store.WriteMessage(received), S_OK);
    ASSERT_EQ(m_store.WriteMessage(sent), S_OK);
    ASSERT_EQ(m_store.WriteMessage(outgoing), S_OK);

    auto inbox = ListOf(Folder::Inbox);
    ASSERT_EQ(inbox.size(), 1u);
    EXPECT_EQ(inbox[0].text, u"In");
    EXPECT_EQ(inbox[0].from.address, u"+15550001");
    EXPECT_EQ(inbox[0].flags, MSGFLAG_READ);
    EXPECT_EQ(inbox[0].time, testing_support::CivilTicks("2008-06-14 12:00:00"));
    EXPECT_TRUE(inbox[0].to.empty());

    auto sentItems = ListOf(Folder::Sent);
    ASSERT_EQ(sentItems.size(), 1u);
    EXPECT_EQ(sentItems[0].flags, MSGFLAG_FROMME);
    EXPECT_EQ(sentItems[0].from.address, u"+15550100");
    ASSERT_EQ(sentItems[0].to.size(), 1u);
    EXPECT_EQ(sentItems[0].to[0].address, u"+15550002");
    EXPECT_EQ(sentItems[0].to[0].name, u"");

    // An outgoing message is submitted: it waits in the outbox for the next synchronisation.
    EXPECT_TRUE(ListOf(Folder::Drafts).empty());
    auto outbox = ListOf(Folder::Outbox);
    ASSERT_EQ(outbox.size(), 1u);
    EXPECT_EQ(outbox[0].flags & (MSGFLAG_FROMME | MSGFLAG_UNSENT), MSGFLAG_FROMME | MSGFLAG_UNSENT);
    EXPECT_EQ(outbox[0].text, u"Away");
    ASSERT_EQ(outbox[0].to.size(), 1u);
    EXPECT_EQ(outbox[0].to[0].name, u"Bob");

    Props props = PropsOf(outbox[0].entryId, {PR_MSG_STATUS, PR_MESSAGE_CLASS, PR_MESSAGE_SIZE,
                                              PR_LAST_MODIFICATION_TIME, PR_MESSAGE_DELIVERY_TIME});
    ASSERT_EQ(props.count, 5u);
    EXPECT_EQ(props[0].Value.l, 0x40000);
    EXPECT_EQ(std::u16string(props[1].Value.lpszW), u"IPM.SMStext");
    EXPECT_EQ(props[2].Value.l, 8);
    EXPECT_EQ(TicksOf(props[3].Value.ft), testing_support::CivilTicks("2008-06-14 12:00:00"));
    EXPECT_EQ(PROP_TYPE(props[4].ulPropTag), PT_ERROR); // an outgoing message has no delivery time yet
}

TEST_F(SmsStoreTest, ARefusedMessageLeavesNothingBehind)
{
    std::u16string longest(160, u'x');
    std::u16string tooLong(161, u'x');
    SmsRecord record = Record(kOutgoingFolder, tooLong.c_str());
    record.recipientAddress = u"+15550002";
    EXPECT_EQ(m_store.WriteMessage(record), E_FAIL);

    SYSTEMTIME impossible = kNoon;
    impossible.wMonth = 13;
    record = Record(kSentFolder, u"When?", &impossible);
    EXPECT_EQ(m_store.WriteMessage(record), E_FAIL);
    record.time = nullptr;
    EXPECT_EQ(m_store.WriteMessage(record), E_FAIL);
    EXPECT_EQ(MessageCount(), 0u);

    record = Record(kSentFolder, longest.c_str());
    EXPECT_EQ(m_store.WriteMessage(record), S_OK);
    auto sent = ListOf(Folder::Sent);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text, longest);
    EXPECT_TRUE(sent[0].to.empty());
}

TEST_F(SmsStoreTest, AVisitGoesFromNewestToOldestInBothForms)
{
    HRESULT result = E_FAIL;
    EXPECT_TRUE(Enumerate(kReceivedFolder, FALSE, FALSE, S_OK, 0, &result).seen.empty());
    EXPECT_EQ(result, S_OK);

    Receive(u"+15550001", u"middle", "2008-06-14 10:00:00", true);
    Receive(u"+15550002", u"newest", "2008-06-15 08:00:00");
    Receive(u"+15550003", u"oldest", "2008-06-13 23:59:59");

    Visit full = Enumerate(kReceivedFolder, FALSE, FALSE);
    ASSERT_EQ(full.seen.size(), 3u);
    EXPECT_EQ(full.seen[0].text, u"newest");
    EXPECT_EQ(full.seen[1].text, u"middle");
    EXPECT_EQ(full.seen[2].text, u"oldest");
    EXPECT_EQ(full.seen[1].read, 1u);
    EXPECT_EQ(full.seen[0].read, 0u);
    EXPECT_EQ(full.seen[2].senderAddress, u"+15550003");
    EXPECT_EQ(full.seen[2].time.wDay, 13);
    EXPECT_EQ(full.seen[2].time.wHour, 23);
    EXPECT_EQ(full.seen[2].time.wSecond, 59);
    EXPECT_FALSE(full.seen[0].hasRecipient); // a received text has no recipients

    Visit brief = Enumerate(kReceivedFolder, TRUE, FALSE);
    ASSERT_EQ(brief.seen.size(), 3u);
    EXPECT_EQ(brief.seen[0].senderAddress, u"+15550002");
    EXPECT_FALSE(brief.seen[0].hasText);
    EXPECT_EQ(brief.seen[1].read, 0u);
    EXPECT_TRUE(brief.seen[2].hasTime);
}

// Each message's time is made local with the zone and bias in force as it is visited: a zone changed, or
// the clock moved out of summer time, during a visit counts from the next message on.
TEST_F(SmsStoreTest, ATimeZoneChangedDuringAVisitAppliesFromTheNextMessage)
{
    Receive(u"+15550001", u"newest", "2008-06-10 12:00:00");
    Receive(u"+15550002", u"middle", "2008-06-09 12:00:00");
    Receive(u"+15550003", u"oldest", "2008-06-08 12:00:00");
    struct Hours {
        std::vector<WORD> seen;
    } hours;
    auto visitor = [](const SmsRecord* record, void* context, BOOL*) -> HRESULT {
        auto& seen = static_cast<Hours*>(context)->seen;
        seen.push_back(record->time ? record->time->wHour : 99);
        if (seen.size() == 1) {
            device::Profile profile = device::CurrentProfile();
            profile.timeZone = "America/New_York"; // four hours behind in June
            device::SaveProfile(profile);
        } else if (seen.size() == 2) {
            device::SetClock(testing_support::CivilTicks("2008-12-01 12:00:00")); // five in December
        }
        return S_OK;
    };
    ASSERT_EQ(m_store.Enumerate(kReceivedFolder, visitor, &hours, TRUE, FALSE), S_OK);
    EXPECT_EQ(hours.seen, (std::vector<WORD>{12, 8, 7}));
}

TEST_F(SmsStoreTest, AFailingVisitorSeesEveryMessageAndKeepsThemAll)
{
    Receive(u"+15550001", u"one", "2008-06-14 10:00:00");
    Receive(u"+15550002", u"two", "2008-06-14 11:00:00");

    EXPECT_EQ(Enumerate(kReceivedFolder, FALSE, TRUE, E_FAIL).seen.size(), 2u);
    EXPECT_EQ(ListOf(Folder::Inbox).size(), 2u);

    // Stopping after the first message ends the visit, and only the visited message is deleted.
    Visit stopped = Enumerate(kReceivedFolder, FALSE, TRUE, S_OK, 1);
    ASSERT_EQ(stopped.seen.size(), 1u);
    EXPECT_EQ(stopped.seen[0].text, u"two");
    auto left = ListOf(Folder::Inbox);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].text, u"one");

    Receive(u"+15550003", u"three", "2008-06-14 12:00:00");
    EXPECT_EQ(Enumerate(kReceivedFolder, TRUE, TRUE).seen.size(), 2u);
    EXPECT_TRUE(ListOf(Folder::Inbox).empty());
}

TEST_F(SmsStoreTest, TheRecipientReadIsTheMessagesLast)
{
    Ref<IMsgStore> store = OpenStore(u"SMS");
    Ref<IMAPIFolder> sent = OpenFolder(store.get(), PR_IPM_SENTMAIL_ENTRYID);
    Ref<IMessage> message =
        NewMessage(sent.get(), {Text(PR_SUBJECT, u"to two"), Time(PR_MESSAGE_DELIVERY_TIME, 1)});
    ASSERT_EQ(
        AddRecipients(message.get(), {{Text(PR_DISPLAY_NAME, u"Ann"), Text(PR_EMAIL_ADDRESS, u"+1555001")},
                                      {Text(PR_EMAIL_ADDRESS, u"+1555002")}}),
        S_OK);
    Bytes id = EntryIdOf(message.get());

    LPWSTR name = nullptr, address = nullptr;
    ASSERT_EQ(m_store.ReadRecipient(static_cast<ULONG>(id.size()), EntryOf(id), &name, &address), S_OK);
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(std::u16string(address), u"+1555002");
    // The second recipient has no name of its own, so the first one's stays.
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(std::u16string(name), u"Ann");
    LocalFree(name);
    LocalFree(address);

    Visit visit = Enumerate(kSentFolder, TRUE, FALSE);
    ASSERT_EQ(visit.seen.size(), 1u);
    EXPECT_EQ(visit.seen[0].recipientAddress, u"+1555002");
}
