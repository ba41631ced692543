// Folder counts and emptying folders, on the SMS store's Inbox and Sent folders as the backup uses them.
#include "utils/UtilsLibrary.h"

#include "services/MapiTesting.h"

using namespace mapi_testing;
using namespace utils_exports;

namespace {

class Folders : public MapiTest {
protected:
    void SetUp() override
    {
        MapiTest::SetUp();
        m_store = OpenStore(u"SMS");
        m_inbox = OpenFolder(m_store.get(), PR_CE_IPM_INBOX_ENTRYID);
        m_sent = OpenFolder(m_store.get(), PR_IPM_SENTMAIL_ENTRYID);
        ASSERT_TRUE(m_inbox && m_sent);
        for (const char16_t* text : {u"one", u"two", u"three"})
            NewMessage(m_inbox.get(), {Text(PR_SUBJECT, text)});
        NewMessage(m_sent.get(), {Text(PR_SUBJECT, u"sent")});
    }

    ULONG Count(IMAPIFolder* folder)
    {
        ULONG count = 99;
        EXPECT_EQ(m_count(folder, &count), S_OK);
        return count;
    }

    utils_testing::UtilsLibrary m_utils;
    GetFolderMessageCountFn m_count = m_utils.Export<GetFolderMessageCountFn>(kGetFolderMessageCount);
    EmptyFoldersFn m_empty = m_utils.Export<EmptyFoldersFn>(kEmptyFolders);
    Ref<IMsgStore> m_store;
    Ref<IMAPIFolder> m_inbox;
    Ref<IMAPIFolder> m_sent;
};

} // namespace

TEST_F(Folders, TheCountIsTheFoldersContentCount)
{
    EXPECT_EQ(Count(m_inbox.get()), 3u);
    EXPECT_EQ(Count(m_sent.get()), 1u);
    ULONG count = 99;
    EXPECT_EQ(m_count(nullptr, &count), E_INVALIDARG);
    EXPECT_EQ(m_count(m_inbox.get(), nullptr), E_INVALIDARG);
}

TEST_F(Folders, OnlyTheChosenFoldersAreEmptied)
{
    EXPECT_EQ(m_empty(nullptr, FALSE, m_inbox.get(), FALSE, m_sent.get()), S_OK);
    EXPECT_EQ(Count(m_inbox.get()), 3u);
    EXPECT_EQ(Count(m_sent.get()), 1u);

    EXPECT_EQ(m_empty(nullptr, FALSE, m_inbox.get(), TRUE, m_sent.get()), S_OK);
    EXPECT_EQ(Count(m_inbox.get()), 3u);
    EXPECT_EQ(Count(m_sent.get()), 0u);

    EXPECT_EQ(m_empty(nullptr, TRUE, m_inbox.get(), TRUE, m_sent.get()), S_OK);
    EXPECT_EQ(Count(m_inbox.get()), 0u);
}

TEST_F(Folders, AFailureWithTheFirstFolderLeavesTheSecondAlone)
{
    EXPECT_EQ(m_empty(nullptr, TRUE, nullptr, TRUE, m_inbox.get()), E_INVALIDARG);
    EXPECT_EQ(Count(m_inbox.get()), 3u);
}
