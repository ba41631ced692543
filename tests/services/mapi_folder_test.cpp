#include "MapiTesting.h"

#include "cemapi/SmsDevice.h"
#include "device/Device.h"

#include <sys/wait.h>
#include <unistd.h>

using namespace mapi_testing;

namespace
{

int64_t Day(int day)
{
    return testing_support::CivilTicks("2008-05-" + std::to_string(10 + day) + " 08:00:00");
}

SBinary BinaryOf(Bytes& bytes)
{
    return {static_cast<ULONG>(bytes.size()), bytes.data()};
}

} // namespace

class FolderTest : public MapiTest
{
  protected:
    void SetUp() override
    {
        MapiTest::SetUp();
        m_store = OpenStore(u"SMS");
        m_inbox = OpenFolder(m_store.get(), PR_CE_IPM_INBOX_ENTRYID);
        m_sent = OpenFolder(m_store.get(), PR_IPM_SENTMAIL_ENTRYID);
        ASSERT_TRUE(m_inbox && m_sent);
    }

    Bytes Received(IMAPIFolder* folder, const char16_t* subject, int day)
    {
        return EntryIdOf(
            NewMessage(folder, {Text(PR_SUBJECT, subject), Time(PR_MESSAGE_DELIVERY_TIME, Day(day)),
                                Text(PR_SENDER_NAME, u"Bo"), Text(PR_SENDER_EMAIL_ADDRESS, u"+1555"),
                                Long(PR_MESSAGE_FLAGS, MSGFLAG_READ)})
                .get());
    }

    Ref<IMsgStore> m_store;
    Ref<IMAPIFolder> m_inbox;
    Ref<IMAPIFolder> m_sent;
};

TEST_F(FolderTest, ContentsAreReadNewestFirstOneRowAtATime)
{
    Received(m_inbox.get(), u"third", 3);
    Received(m_inbox.get(), u"first", 1);
    NewMessage(m_inbox.get(), {Text(PR_SUBJECT, u"undated")});
    Received(m_inbox.get(), u"fifth", 5);
    Received(m_inbox.get(), u"second", 2);
    Received(m_inbox.get(), u"fourth", 4);
    Received(m_sent.get(), u"elsewhere", 9);

    EXPECT_EQ(Subjects(m_inbox.get()),
              (std::vector<std::u16string>{u"fifth", u"fourth", u"third", u"second", u"first", u"undated"}));
    EXPECT_EQ(Subjects(m_inbox.get(), TABLE_SORT_ASCEND),
              (std::vector<std::u16string>{u"undated", u"first", u"second", u"third", u"fourth", u"fifth"}));

    // The long form of the program's visit: six columns, each with its tag.
    Ref<IMAPITable> table;
    ASSERT_EQ(m_inbox->GetContentsTable(0, table.Out()), S_OK);
    SizedSSortOrderSet(1, sort) = {1, 0, 0, {{0x0E060040, TABLE_SORT_DESCEND}}};
    ASSERT_EQ(table->SortTable(reinterpret_cast<LPSSortOrderSet>(&sort), 0), S_OK);
    SizedSPropTagArray(6, columns) = {
        6, {0x0E060040, 0x0C1A001F, 0x0C1F001F, 0x0FFF0102, 0x0037001F, 0x0E070003}};
    ASSERT_EQ(table->SetColumns(reinterpret_cast<LPSPropTagArray>(&columns), 0), S_OK);
    Rows rows;
    ASSERT_EQ(table->QueryRows(1, 0, &rows.set), S_OK);
    ASSERT_EQ(rows.set->cRows, 1u);
    const SRow& row = rows.set->aRow[0];
    ASSERT_EQ(row.cValues, 6u);
    for (ULONG i = 0; i < 6; ++i)
        EXPECT_EQ(row.lpProps[i].ulPropTag, columns.aulPropTag[i]);
    EXPECT_EQ(TicksOf(row.lpProps[0].Value.ft), Day(5));
    EXPECT_EQ(std::u16string(row.lpProps[1].Value.lpszW), u"Bo");
    EXPECT_EQ(std::u16string(row.lpProps[2].Value.lpszW), u"+1555");
    EXPECT_EQ(std::u16string(row.lpProps[4].Value.lpszW), u"fifth");
    EXPECT_EQ(row.lpProps[5].Value.l & MSGFLAG_READ, LONG(MSGFLAG_READ));

    // A column asked twice comes twice; one the message lacks or holds in another type comes as an error.
    SizedSPropTagArray(4, odd) = {4, {0x0037001F, 0x0037001F, 0x1000001F, 0x0E070102}};
    ASSERT_EQ(table->SetColumns(reinterpret_cast<LPSPropTagArray>(&odd), 0), S_OK);
    Rows next;
    ASSERT_EQ(table->QueryRows(1, 0, &next.set), S_OK);
    ASSERT_EQ(next.set->cRows, 1u);
    const SPropValue* props = next.set->aRow[0].lpProps;
    EXPECT_EQ(std::u16string(props[0].Value.lpszW), u"fourth");
    EXPECT_EQ(std::u16string(props[1].Value.lpszW), u"fourth");
    EXPECT_EQ(props[2].ulPropTag, ULONG(0x1000000A));
    EXPECT_EQ(props[2].Value.err, MAPI_E_NOT_FOUND);
    EXPECT_EQ(props[3].ulPropTag, ULONG(0x0E07000A));
    EXPECT_EQ(props[3].Value.err, MAPI_E_INVALID_TYPE);

    // The row's entry identifier opens the message through the session.
    Ref<IMessage> message;
    ASSERT_EQ(Session()->OpenEntry(row.lpProps[3].Value.bin.cb,
                                   reinterpret_cast<LPENTRYID>(row.lpProps[3].Value.bin.lpb), nullptr, 0,
                                   nullptr, message.OutUnknown()),
              S_OK);
}

// Reads keep one snapshot of the database from call to call only while nobody commits: what another device
// process writes between two reads is there at the second.
TEST_F(FolderTest, AMessageAnotherProcessReceivesBetweenTwoReadsIsReadNext)
{
    Received(m_inbox.get(), u"newest", 5);
    Received(m_inbox.get(), u"oldest", 1);
    Ref<IMAPITable> table;
    ASSERT_EQ(m_inbox->GetContentsTable(0, table.Out()), S_OK);
    SizedSPropTagArray(1, columns) = {1, {PR_SUBJECT}};
    ASSERT_EQ(table->SetColumns(reinterpret_cast<LPSPropTagArray>(&columns), 0), S_OK);
    auto next = [&] {
        Rows rows;
        EXPECT_EQ(table->QueryRows(1, 0, &rows.set), S_OK);
        return rows.set && rows.set->cRows == 1 ? std::u16string(rows.set->aRow[0].lpProps[0].Value.lpszW)
                                                : std::u16string(u"<end>");
    };
    EXPECT_EQ(next(), u"newest");

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        device::Attach(m_device.Dir()); // its own connection, as another device process has
        device::sms::Receive({{u"Al", u"+1555"}, u"between", Day(3), false});
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    EXPECT_EQ(next(), u"between");
    EXPECT_EQ(next(), u"oldest");
    EXPECT_EQ(next(), u"<end>");
}

TEST_F(FolderTest, QueryRowsGivesAtMostTenRowsAndNoneAtTheEnd)
{
    for (int i = 0; i < 12; ++i)
        Received(m_inbox.get(), u"m", i % 9);
    Ref<IMAPITable> table;
    ASSERT_EQ(m_inbox->GetContentsTable(0, table.Out()), S_OK);
    std::vector<ULONG> counts;
    for (int read = 0; read < 3; ++read) {
        Rows rows;
        ASSERT_EQ(table->QueryRows(50, 0, &rows.set), S_OK);
        counts.push_back(rows.set->cRows);
    }
    EXPECT_EQ(counts, (std::vector<ULONG>{10, 2, 0}));

    Rows none;
    EXPECT_EQ(table->QueryRows(0, 0, &none.set), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(table->QueryRows(1, TBL_NOADVANCE, &none.set), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(none.set, nullptr);
}

TEST_F(FolderTest, SortTableAcceptsOnlyOneOrderOnTheDeliveryTime)
{
    Ref<IMAPITable> table;
    ASSERT_EQ(m_inbox->GetContentsTable(0, table.Out()), S_OK);
    SizedSSortOrderSet(2, two) = {2, 0, 0, {{PR_MESSAGE_DELIVERY_TIME, TABLE_SORT_DESCEND}, {PR_SUBJECT, 0}}};
    EXPECT_EQ(table->SortTable(reinterpret_cast<LPSSortOrderSet>(&two), 0), MAPI_E_INVALID_PARAMETER);
    SizedSSortOrderSet(1, categorized) = {1, 1, 0, {{PR_MESSAGE_DELIVERY_TIME, TABLE_SORT_DESCEND}}};
    EXPECT_EQ(table->SortTable(reinterpret_cast<LPSSortOrderSet>(&categorized), 0), MAPI_E_INVALID_PARAMETER);
    SizedSSortOrderSet(1, combined) = {1, 0, 0, {{PR_MESSAGE_DELIVERY_TIME, TABLE_SORT_COMBINE}}};
    EXPECT_EQ(table->SortTable(reinterpret_cast<LPSSortOrderSet>(&combined), 0), MAPI_E_INVALID_PARAMETER);
    SizedSSortOrderSet(1, bySubject) = {1, 0, 0, {{PR_SUBJECT_W, TABLE_SORT_ASCEND}}};
    EXPECT_EQ(table->SortTable(reinterpret_cast<LPSSortOrderSet>(&bySubject), 0), MAPI_E_NO_SUPPORT);

    Ref<IMAPITable> stores;
    ASSERT_EQ(Session()->GetMsgStoresTable(0, stores.Out()), S_OK);
    SizedSSortOrderSet(1, byTime) = {1, 0, 0, {{PR_MESSAGE_DELIVERY_TIME, TABLE_SORT_DESCEND}}};
    EXPECT_EQ(stores->SortTable(reinterpret_cast<LPSSortOrderSet>(&byTime), 0), MAPI_E_NO_SUPPORT);
}

TEST_F(FolderTest, DeletingEachMessageAfterReadingItVisitsEveryMessageOnce)
{
    for (int day = 1; day <= 7; ++day)
        Received(m_inbox.get(), day % 2 ? u"odd" : u"even", day % 3); // several share a delivery time
    Ref<IMAPITable> table;
    ASSERT_EQ(m_inbox->GetContentsTable(0, table.Out()), S_OK);
    SizedSPropTagArray(1, columns) = {1, {PR_ENTRYID}};
    ASSERT_EQ(table->SetColumns(reinterpret_cast<LPSPropTagArray>(&columns), 0), S_OK);
    std::vector<Bytes> visited;
    for (;;) {
        Rows rows;
        ASSERT_EQ(table->QueryRows(1, 0, &rows.set), S_OK);
        if (rows.set->cRows == 0) break;
        visited.push_back(BytesOf(rows.set->aRow[0].lpProps[0].Value.bin));
        ENTRYLIST one = {1, &rows.set->aRow[0].lpProps[0].Value.bin};
        EXPECT_EQ(m_inbox->DeleteMessages(&one, 0, nullptr, 0), S_OK);
    }
    EXPECT_EQ(visited.size(), 7u);
    std::sort(visited.begin(), visited.end());
    EXPECT_EQ(std::unique(visited.begin(), visited.end()), visited.end());
    EXPECT_EQ(LongProp(m_inbox.get(), PR_CONTENT_COUNT), 0);
}

TEST_F(FolderTest, DeleteMessagesReportsMessagesItCouldNotDelete)
{
    Bytes here = Received(m_inbox.get(), u"here", 1);
    Bytes kept = Received(m_inbox.get(), u"kept", 2);
    Bytes elsewhere = Received(m_sent.get(), u"elsewhere", 3);
    Bytes garbage = {9, 9, 9};
    SBinary entries[] = {BinaryOf(here), BinaryOf(garbage), BinaryOf(elsewhere)};
    ENTRYLIST list = {3, entries};
    EXPECT_EQ(m_inbox->DeleteMessages(&list, 0, nullptr, 0), MAPI_W_PARTIAL_COMPLETION);
    EXPECT_EQ(Subjects(m_inbox.get()), (std::vector<std::u16string>{u"kept"}));
    EXPECT_EQ(Subjects(m_sent.get()), (std::vector<std::u16string>{u"elsewhere"}));

    SBinary again[] = {BinaryOf(here)}; // already gone
    ENTRYLIST gone = {1, again};
    EXPECT_EQ(m_inbox->DeleteMessages(&gone, 0, nullptr, 0), MAPI_W_PARTIAL_COMPLETION);
    SBinary last[] = {BinaryOf(kept)};
    ENTRYLIST lastOne = {1, last};
    EXPECT_EQ(m_inbox->DeleteMessages(&lastOne, 0, nullptr, 0), S_OK);
}

TEST_F(FolderTest, TheContentCountFollowsCreationDeletionAndEmptying)
{
    EXPECT_EQ(LongProp(m_inbox.get(), 0x36020003), 0);
    // More than the store removes in one go, so emptying takes several rounds and a short last one.
    constexpr int kMessages = 1001;
    for (int n = 0; n < kMessages; ++n)
        Received(m_inbox.get(), u"in", 1 + n % 28);
    Received(m_sent.get(), u"out", 1);
    EXPECT_EQ(LongProp(m_inbox.get(), 0x36020003), kMessages);
    EXPECT_EQ(LongProp(m_sent.get(), 0x36020003), 1);

    // As the program empties a folder: an owner window, no progress object, flags 2.
    EXPECT_EQ(m_inbox->EmptyFolder(reinterpret_cast<ULONG_PTR>(this), nullptr, FOLDER_DIALOG), S_OK);
    EXPECT_EQ(LongProp(m_inbox.get(), 0x36020003), 0);
    EXPECT_TRUE(Subjects(m_inbox.get()).empty());
    EXPECT_EQ(LongProp(m_sent.get(), 0x36020003), 1);
}
