#include "MapiTesting.h"

using namespace mapi_testing;

TEST(MapiStartup, LogonNeedsAnInitializeThatIsCountedPerProcess)
{
    testing_support::TempDevice device;
    MAPIUninitialize(); // without an initialise: harmless
    Ref<IMAPISession> session;
    EXPECT_EQ(MAPILogonEx(0, nullptr, nullptr, 0, session.Out()), MAPI_E_NOT_INITIALIZED);
    EXPECT_FALSE(session);

    ASSERT_EQ(MAPIInitialize(nullptr), S_OK);
    ASSERT_EQ(MAPIInitialize(nullptr), S_OK);
    MAPIUninitialize();
    ASSERT_EQ(MAPILogonEx(0, nullptr, nullptr, 0, session.Out()), S_OK);
    MAPIUninitialize();
    Ref<IMAPISession> late;
    EXPECT_EQ(MAPILogonEx(0, nullptr, nullptr, 0, late.Out()), MAPI_E_NOT_INITIALIZED);

    // A session made before still works until released, as the program releases after uninitialising.
    Ref<IMAPITable> stores;
    EXPECT_EQ(session->GetMsgStoresTable(0, stores.Out()), S_OK);
    EXPECT_EQ(MAPILogonEx(0, nullptr, nullptr, 0, nullptr), MAPI_E_INVALID_PARAMETER);
}

TEST_F(MapiTest, TheStoresTableListsEveryStoreAndTheSmsStoreIsFoundByItsName)
{
    Ref<IMAPITable> table;
    ASSERT_EQ(Session()->GetMsgStoresTable(0, table.Out()), S_OK);
    std::vector<std::u16string> names;
    for (;;) {
        Rows rows;
        ASSERT_EQ(table->QueryRows(1, 0, &rows.set), S_OK);
        if (rows.set->cRows == 0) break;
        const SRow& row = rows.set->aRow[0];
        ASSERT_EQ(row.cValues, 2u); // the default columns: entry identifier and display name
        EXPECT_EQ(row.lpProps[0].ulPropTag, PR_ENTRYID);
        EXPECT_GT(row.lpProps[0].Value.bin.cb, 0u);
        ASSERT_EQ(row.lpProps[1].ulPropTag, PR_DISPLAY_NAME);
        names.push_back(row.lpProps[1].Value.lpszW);
    }
    EXPECT_EQ(names, (std::vector<std::u16string>{u"ActiveSync", u"SMS"}));

    Bytes sms = StoreEntryId(u"SMS");
    Bytes activeSync = StoreEntryId(u"ActiveSync");
    EXPECT_FALSE(sms.empty());
    EXPECT_NE(sms, activeSync);
    EXPECT_TRUE(StoreEntryId(u"sms").empty()); // names compare exactly
    EXPECT_TRUE(StoreEntryId(u"Outlook").empty());

    Ref<IMsgStore> store = OpenStore(u"SMS");
    ASSERT_TRUE(store);
    SizedSPropTagArray(1, name) = {1, {PR_DISPLAY_NAME}};
    Props props;
    ASSERT_EQ(store->GetProps(reinterpret_cast<LPSPropTagArray>(&name), 0, &props.count, &props.values),
              S_OK);
    EXPECT_EQ(std::u16string(props[0].Value.lpszW), u"SMS");
    EXPECT_EQ(EntryIdOf(store.get()), sms);
}

TEST_F(MapiTest, AStoreNamesItsInboxSentAndDraftsFoldersInOneRequest)
{
    Ref<IMsgStore> store = OpenStore(u"SMS");
    SizedSPropTagArray(3, tags) = {3, {0x81060102, 0x35E40102, 0x81040102}};
    Props props;
    ASSERT_EQ(
        store->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), MAPI_UNICODE, &props.count, &props.values),
        S_OK);
    ASSERT_EQ(props.count, 3u);
    const char16_t* names[] = {u"Inbox", u"Sent Items", u"Drafts"};
    std::vector<Bytes> ids;
    for (ULONG i = 0; i < 3; ++i) {
        ASSERT_EQ(props[i].ulPropTag, tags.aulPropTag[i]);
        ids.push_back(BytesOf(props[i].Value.bin));
        ULONG type = 0;
        Ref<IMAPIFolder> folder;
        ASSERT_EQ(store->OpenEntry(props[i].Value.bin.cb, reinterpret_cast<LPENTRYID>(props[i].Value.bin.lpb),
                                   nullptr, 0, &type, folder.OutUnknown()),
                  S_OK);
        EXPECT_EQ(type, ULONG(MAPI_FOLDER));
        SizedSPropTagArray(1, name) = {1, {PR_DISPLAY_NAME}};
        Props shown;
        ASSERT_EQ(folder->GetProps(reinterpret_cast<LPSPropTagArray>(&name), 0, &shown.count, &shown.values),
                  S_OK);
        EXPECT_EQ(std::u16string(shown[0].Value.lpszW), names[i]);
    }
    EXPECT_NE(ids[0], ids[1]);
    EXPECT_NE(ids[1], ids[2]);

    // The other store has folders of its own.
    Ref<IMsgStore> other = OpenStore(u"ActiveSync");
    Ref<IMAPIFolder> otherInbox = OpenFolder(other.get(), PR_CE_IPM_INBOX_ENTRYID);
    EXPECT_NE(EntryIdOf(otherInbox.get()), ids[0]);

    // A property the store doesn't have comes back as an error value in its place.
    SizedSPropTagArray(2, mixed) = {2, {PR_SUBJECT, PR_IPM_OUTBOX_ENTRYID}};
    Props partial;
    ASSERT_EQ(store->GetProps(reinterpret_cast<LPSPropTagArray>(&mixed), 0, &partial.count, &partial.values),
              MAPI_W_ERRORS_RETURNED);
    ASSERT_EQ(partial.count, 2u);
    EXPECT_EQ(partial[0].ulPropTag, PROP_TAG(PT_ERROR, PROP_ID(PR_SUBJECT)));
    EXPECT_EQ(partial[0].Value.err, MAPI_E_NOT_FOUND);
    EXPECT_EQ(partial[1].ulPropTag, PR_IPM_OUTBOX_ENTRYID);
}

TEST_F(MapiTest, UnknownEntryIdentifiersAreRefusedWithTheDocumentedCodes)
{
    Ref<IMsgStore> sms = OpenStore(u"SMS");
    Ref<IMsgStore> activeSync = OpenStore(u"ActiveSync");
    Ref<IMAPIFolder> inbox = OpenFolder(sms.get(), PR_CE_IPM_INBOX_ENTRYID);
    Ref<IUnknown> object;

    Bytes garbage = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(Session()->OpenEntry(8, EntryOf(garbage), nullptr, 0, nullptr, object.Out()),
              MAPI_E_UNKNOWN_ENTRYID);
    Ref<IMsgStore> store;
    EXPECT_EQ(Session()->OpenMsgStore(0, 8, EntryOf(garbage), nullptr, 0, store.Out()),
              MAPI_E_UNKNOWN_ENTRYID);
    EXPECT_EQ(Session()->OpenEntry(8, nullptr, nullptr, 0, nullptr, object.Out()), MAPI_E_INVALID_PARAMETER);

    Bytes message = EntryIdOf(NewMessage(inbox.get(), {}).get());
    SBinary entry = {static_cast<ULONG>(message.size()), message.data()};
    ENTRYLIST list = {1, &entry};
    ASSERT_EQ(inbox->DeleteMessages(&list, 0, nullptr, 0), S_OK);
    EXPECT_EQ(Session()->OpenEntry(static_cast<ULONG>(message.size()), EntryOf(message), nullptr, 0, nullptr,
                                   object.Out()),
              MAPI_E_NOT_FOUND);
    EXPECT_FALSE(object);

    // A folder of one store is not found through another, nor is a folder a store.
    Bytes folder = EntryIdOf(inbox.get());
    EXPECT_EQ(activeSync->OpenEntry(static_cast<ULONG>(folder.size()), EntryOf(folder), nullptr, 0, nullptr,
                                    object.Out()),
              MAPI_E_NOT_FOUND);
    EXPECT_EQ(Session()->OpenMsgStore(0, static_cast<ULONG>(folder.size()), EntryOf(folder), nullptr, 0,
                                      store.Out()),
              MAPI_E_NOT_FOUND);
}

TEST_F(MapiTest, NullOutPointersAreRefusedWithoutACrash)
{
    Ref<IMsgStore> store = OpenStore(u"SMS");
    Ref<IMAPIFolder> inbox = OpenFolder(store.get(), PR_CE_IPM_INBOX_ENTRYID);
    Ref<IMessage> message = NewMessage(inbox.get(), {});
    Bytes id = StoreEntryId(u"SMS");
    SizedSPropTagArray(1, tags) = {1, {PR_ENTRYID}};
    auto tagArray = reinterpret_cast<LPSPropTagArray>(&tags);
    ULONG count = 7;
    LPSPropValue values = nullptr;

    EXPECT_EQ(Session()->GetMsgStoresTable(0, nullptr), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(Session()->OpenMsgStore(0, static_cast<ULONG>(id.size()), EntryOf(id), nullptr, 0, nullptr),
              MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(Session()->OpenEntry(static_cast<ULONG>(id.size()), EntryOf(id), nullptr, 0, nullptr, nullptr),
              MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(store->GetProps(tagArray, 0, nullptr, &values), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(store->GetProps(tagArray, 0, &count, nullptr), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(store->GetProps(nullptr, 0, &count, &values), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(inbox->GetContentsTable(0, nullptr), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(inbox->CreateMessage(nullptr, 0, nullptr), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(inbox->DeleteMessages(nullptr, 0, nullptr, 0), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(message->GetRecipientTable(0, nullptr), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(message->ModifyRecipients(MODRECIP_ADD, nullptr), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(message->SetProps(0, nullptr, nullptr), MAPI_E_INVALID_PARAMETER);
    Ref<IMAPITable> table;
    ASSERT_EQ(inbox->GetContentsTable(0, table.Out()), S_OK);
    EXPECT_EQ(table->QueryRows(1, 0, nullptr), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(table->SetColumns(nullptr, 0), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(table->SortTable(nullptr, 0), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(MAPIAllocateBuffer(16, nullptr), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(store->QueryInterface(IID_IMsgStore, nullptr), E_INVALIDARG);
}

TEST_F(MapiTest, AfterLogoffTheSessionEndsButWhatItOpenedStaysUsable)
{
    Ref<IMsgStore> store = OpenStore(u"SMS");
    ASSERT_EQ(Session()->Logoff(0, 0, 0), S_OK);
    Ref<IMAPITable> table;
    EXPECT_EQ(Session()->GetMsgStoresTable(0, table.Out()), MAPI_E_END_OF_SESSION);
    EXPECT_EQ(Session()->Logoff(0, 0, 0), MAPI_E_END_OF_SESSION);
    EXPECT_FALSE(EntryIdOf(store.get()).empty());

    Ref<IMAPIProp> prop;
    EXPECT_EQ(store->QueryInterface(IID_IMAPIProp, reinterpret_cast<void**>(prop.Out())), S_OK);
    Ref<IMAPIFolder> notAFolder;
    EXPECT_EQ(store->QueryInterface(IID_IMAPIFolder, reinterpret_cast<void**>(notAFolder.Out())),
              E_NOINTERFACE);
    EXPECT_FALSE(notAFolder);
    EXPECT_EQ(store->SaveChanges(0), MAPI_E_NO_SUPPORT); // changes are saved as they are made
}

TEST(MapiBuffers, MoreBuffersGoWithTheirHeadAndFreeingNothingIsHarmless)
{
    void* head = nullptr;
    ASSERT_EQ(MAPIAllocateBuffer(24, &head), S_OK);
    void* more = nullptr;
    ASSERT_EQ(MAPIAllocateMore(100, head, &more), S_OK);
    void* further = nullptr;
    ASSERT_EQ(MAPIAllocateMore(8, more, &further), S_OK); // linked through a linked block: same chain
    std::memset(more, 0xAB, 100);
    std::memset(further, 0xCD, 8);
    EXPECT_EQ(MAPIFreeBuffer(more), 0u); // a linked block waits for its head
    EXPECT_EQ(static_cast<uint8_t*>(more)[99], 0xAB);
    EXPECT_EQ(MAPIFreeBuffer(head), 0u); // the sanitizer build checks nothing of the chain leaks
    EXPECT_EQ(MAPIFreeBuffer(nullptr), 0u);
    EXPECT_EQ(MAPIAllocateMore(8, nullptr, &more), MAPI_E_INVALID_PARAMETER);
}
