#include "PoomTesting.h"

#include "pimstore/ContactsDevice.h"
#include "device/Database.h"
#include "device/Device.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

using namespace poom_testing;
namespace contacts = device::contacts;

namespace {

class ContactStore : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        m_app = CreateApplication();
        ASSERT_TRUE(m_app);
    }
    void TearDown() override
    {
        m_app.reset();
        CoUninitialize();
    }

    // The item for an identifier, looked up the way device code does: GetItemFromOid, then IContact.
    Owned<IContact> Item(long oid)
    {
        IDispatch* dispatch = nullptr;
        if (FAILED(m_app->GetItemFromOid(oid, &dispatch))) return nullptr;
        Owned<IDispatch> owned(dispatch);
        IContact* contact = nullptr;
        if (FAILED(dispatch->QueryInterface(IID_IContact, reinterpret_cast<void**>(&contact)))) return nullptr;
        return Owned<IContact>(contact);
    }

    static std::u16string FileAs(IContact* contact)
    {
        BSTR name = nullptr;
        EXPECT_EQ(contact->get_FileAs(&name), S_OK);
        OwnedBstr owned(name);
        return owned ? Text(owned) : u"(null)";
    }

    testing_support::TempDevice m_device;
    Owned<IPOutlookApp> m_app;
};

} // namespace

TEST_F(ContactStore, ApplicationObjectIsServedInProcessOnlyWithItsDispatchInterface)
{
    IPOutlookApp* app = nullptr;
    EXPECT_TRUE(FAILED(CoCreateInstance(CLSID_Application, nullptr, CLSCTX_LOCAL_SERVER, IID_IPOutlookApp,
                                        reinterpret_cast<void**>(&app))));
    EXPECT_EQ(app, nullptr);

    IDispatch* dispatch = nullptr;
    ASSERT_EQ(m_app->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
    EXPECT_EQ(static_cast<void*>(dispatch), static_cast<void*>(m_app.get()));
    UINT typeInfos = 7;
    EXPECT_EQ(dispatch->GetTypeInfoCount(&typeInfos), S_OK);
    EXPECT_EQ(typeInfos, 0u);
    dispatch->Release();

    IContact* notAContact = reinterpret_cast<IContact*>(1);
    EXPECT_EQ(m_app->QueryInterface(IID_IContact, reinterpret_cast<void**>(&notAContact)), E_NOINTERFACE);
    EXPECT_EQ(notAContact, nullptr);
}

TEST_F(ContactStore, ContactAddedOnTheDeviceIsReadWithNameNumberAndIdentifier)
{
    uint32_t oid = contacts::Add(u"Smith, Ann", u"+1 555 0101");
    ASSERT_EQ(m_app->Logon(0), S_OK);

    Owned<IContact> ann = Item(oid);
    ASSERT_TRUE(ann);
    EXPECT_EQ(FileAs(ann.get()), u"Smith, Ann");
    BSTR mobile = nullptr;
    ASSERT_EQ(ann->get_MobileTelephoneNumber(&mobile), S_OK);
    OwnedBstr ownedMobile(mobile);
    EXPECT_EQ(Text(ownedMobile), u"+1 555 0101");
    EXPECT_EQ(mobile[SysStringLen(mobile)], u'\0');
    long itemOid = 0;
    EXPECT_EQ(ann->get_Oid(&itemOid), S_OK);
    EXPECT_EQ(itemOid, static_cast<long>(oid));

    // Properties the store does not keep are not made up.
    BSTR first = nullptr;
    EXPECT_EQ(ann->get_FirstName(&first), E_NOTIMPL);
    EXPECT_EQ(first, nullptr);
}

TEST_F(ContactStore, ContactWithoutMobileNumberAnswersAnEmptyStringNotANullOne)
{
    uint32_t oid = contacts::Add(u"Bob", u"");
    ASSERT_EQ(m_app->Logon(0), S_OK);
    Owned<IContact> bob = Item(oid);
    ASSERT_TRUE(bob);
    BSTR mobile = nullptr;
    ASSERT_EQ(bob->get_MobileTelephoneNumber(&mobile), S_OK);
    OwnedBstr owned(mobile);
    ASSERT_NE(mobile, nullptr);
    EXPECT_EQ(SysStringLen(mobile), 0u);
}

TEST_F(ContactStore, DeletedUnknownAndZeroIdentifiersAreNotFound)
{
    uint32_t kept = contacts::Add(u"Kept", u"1");
    uint32_t gone = contacts::Add(u"Gone", u"2");
    ASSERT_TRUE(contacts::Delete(gone));
    EXPECT_FALSE(contacts::Delete(gone));
    ASSERT_EQ(m_app->Logon(0), S_OK);

    for (long oid : {static_cast<long>(gone), 0L, static_cast<long>(kept + 100)}) {
        IDispatch* item = reinterpret_cast<IDispatch*>(1);
        EXPECT_EQ(m_app->GetItemFromOid(oid, &item), E_INVALIDARG) << oid;
        EXPECT_EQ(item, nullptr) << oid;
    }
    EXPECT_TRUE(Item(kept));

    // A deleted contact's identifier is never handed to another contact.
    uint32_t next = contacts::Add(u"Next", u"3");
    EXPECT_NE(next, gone);
    IDispatch* item = nullptr;
    EXPECT_EQ(m_app->GetItemFromOid(static_cast<long>(gone), &item), E_INVALIDARG);
}

TEST_F(ContactStore, LookupsNeedALoggedOnSessionAndAnOutPointer)
{
    uint32_t oid = contacts::Add(u"Carl", u"3");
    IDispatch* item = nullptr;
    EXPECT_EQ(m_app->GetItemFromOid(oid, &item), E_UNEXPECTED);
    EXPECT_EQ(item, nullptr);

    ASSERT_EQ(m_app->Logon(0), S_OK);
    EXPECT_EQ(m_app->GetItemFromOid(oid, nullptr), E_INVALIDARG);
    Owned<IContact> carl = Item(oid);
    ASSERT_TRUE(carl);
    EXPECT_EQ(carl->get_FileAs(nullptr), E_INVALIDARG);
    EXPECT_EQ(carl->get_Oid(nullptr), E_INVALIDARG);

    ASSERT_EQ(m_app->Logoff(), S_OK);
    EXPECT_EQ(m_app->GetItemFromOid(oid, &item), E_UNEXPECTED);
}

TEST_F(ContactStore, ItemOutlivesItsSessionAndTheApplicationObject)
{
    uint32_t oid = contacts::Add(u"Dora", u"4");
    ASSERT_EQ(m_app->Logon(0), S_OK);
    Owned<IContact> dora = Item(oid);
    ASSERT_TRUE(dora);
    m_app->Logoff();
    m_app.reset();
    EXPECT_EQ(FileAs(dora.get()), u"Dora");
}

TEST_F(ContactStore, IdentifiersAboveTwoToTheThirtyOneAreFoundSignExtendedOrNot)
{
    // Object identifiers use all 32 bits; a 32-bit long on the device carries the high ones as negative.
    device::Db().Exec("INSERT INTO contacts (oid, file_as, mobile) VALUES (2147483649, 'High', '9')");
    ASSERT_EQ(m_app->Logon(0), S_OK);
    Owned<IContact> asUnsigned = Item(2147483649L);
    Owned<IContact> asSigned = Item(static_cast<int32_t>(0x80000001u));
    ASSERT_TRUE(asUnsigned);
    ASSERT_TRUE(asSigned);
    EXPECT_EQ(FileAs(asSigned.get()), u"High");
    long oid = 0;
    asSigned->get_Oid(&oid);
    EXPECT_EQ(static_cast<uint32_t>(oid), 0x80000001u);
    EXPECT_FALSE(Item(0x100000001L)); // no identifier is wider than 32 bits
}

TEST(ContactTable, ListsInFilingOrderRegardlessOfCaseWithDistinctNonZeroIdentifiers)
{
    testing_support::TempDevice device;
    uint32_t carl = contacts::Add(u"carl", u"3");
    uint32_t ann = contacts::Add(u"Ann", u"1");
    uint32_t bob = contacts::Add(u"Bob", u"");
    std::vector<contacts::Contact> all = contacts::List();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].oid, ann);
    EXPECT_EQ(all[1].oid, bob);
    EXPECT_EQ(all[2].oid, carl);
    EXPECT_EQ(all[2].name, u"carl");
    EXPECT_EQ(all[0].mobile, u"1");
    std::set<uint32_t> ids{ann, bob, carl};
    EXPECT_EQ(ids.size(), 3u);
    EXPECT_EQ(ids.count(0), 0u);

    std::optional<contacts::Contact> found = contacts::Find(bob);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->name, u"Bob");
    EXPECT_FALSE(contacts::Find(0));
}

TEST(ContactTable, RejectsEmptyNamesOverlongTextAndBrokenUtf16WithoutStoringAnything)
{
    testing_support::TempDevice device;
    std::u16string longest(contacts::kMaxTextLength, u'x');
    EXPECT_THROW(contacts::Add(u"", u"1"), std::invalid_argument);
    EXPECT_THROW(contacts::Add(longest + u"x", u"1"), std::invalid_argument);
    EXPECT_THROW(contacts::Add(u"Ann", longest + u"1"), std::invalid_argument);
    EXPECT_THROW(contacts::Add(std::u16string(1, u'\xD800'), u"1"), std::invalid_argument);
    EXPECT_TRUE(contacts::List().empty());

    uint32_t oid = contacts::Add(longest, longest);
    EXPECT_EQ(contacts::Find(oid)->name.size(), contacts::kMaxTextLength);
}

TEST(ContactTable, NonAsciiNamesSurviveTheRoundTrip)
{
    testing_support::TempDevice device;
    uint32_t oid = contacts::Add(u"Zoë Łukasz 日本", u"+81 3 1234");
    EXPECT_EQ(contacts::Find(oid)->name, u"Zoë Łukasz 日本");
}
