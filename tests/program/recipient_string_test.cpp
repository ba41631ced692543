#include "contacts/RecipientString.h"

#include "contacts/ContactStore.h"
#include "store/Owners.h"

#include "RegistryTesting.h"
#include "UtilsOnDevice.h"
#include "support/TempDevice.h"

#include "cemapi/SmsDevice.h"
#include "pimstore/ContactsDevice.h"

using namespace program_testing;
using testing_support::TempDevice;

namespace {

class RecipientStrings : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_ann = device::contacts::Add(u"Ann", u"555 101");
        m_bob = device::contacts::Add(u"Bob", u"555 202");
        m_cy = device::contacts::Add(u"Cy", u"");
        ASSERT_EQ(m_group.SetText(u"Friends"), S_OK);
    }

    // The string and the result, as one text for readable failures.
    std::u16string Build(BOOL withNumbers)
    {
        LPWSTR text = nullptr;
        HRESULT hr = BuildRecipientString(m_group, &text, withNumbers);
        return (SUCCEEDED(hr) ? u"ok:" : u"failed:") + TakeLocal(text);
    }

    TempDevice m_device;
    UtilsOnDevice m_utils; // so a compose form refused is refused by the program, not for want of utils
    ContactGroup m_group;
    CEOID m_ann = 0, m_bob = 0, m_cy = 0;
};

} // namespace

TEST_F(RecipientStrings, ListMembersInMemberOrderAndLeaveOutDeletedContacts)
{
    for (CEOID id : {m_bob, m_cy, m_ann})
        m_group.AddMember(id);
    EXPECT_EQ(Build(TRUE), u"ok:Bob <555 202>;Cy <>;Ann <555 101>;");
    EXPECT_EQ(Build(FALSE), u"ok:Bob; Cy; Ann; ");

    ASSERT_TRUE(device::contacts::Delete(m_cy));
    EXPECT_EQ(Build(TRUE), u"ok:Bob <555 202>;Ann <555 101>;");
    EXPECT_EQ(Build(FALSE), u"ok:Bob; Ann; ");
}

TEST_F(RecipientStrings, ANoOneLeftIsAFailureWithAnEmptyStringAndNoComposeForm)
{
    EXPECT_EQ(Build(FALSE), u"failed:");
    EXPECT_EQ(ComposeToGroup(m_group), E_FAIL);

    m_group.AddMember(m_ann);
    m_group.AddMember(m_bob);
    ASSERT_TRUE(device::contacts::Delete(m_ann));
    ASSERT_TRUE(device::contacts::Delete(m_bob));
    EXPECT_EQ(Build(TRUE), u"failed:");
    EXPECT_EQ(ComposeToGroup(m_group), E_FAIL);
    EXPECT_TRUE(device::mail::ComposedRequests().empty());
}

TEST_F(RecipientStrings, ComposingToAGroupOpensTheTextComposeFormAddressedToItsMembers)
{
    for (CEOID id : {m_bob, m_ann})
        m_group.AddMember(id);
    ASSERT_EQ(ComposeToGroup(m_group), S_OK);
    auto requests = device::mail::ComposedRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].request, "compose");
    EXPECT_EQ(requests[0].kind, "sms");
    EXPECT_EQ(requests[0].account, u"SMS");
    EXPECT_EQ(requests[0].to, u"Bob <555 202>;Ann <555 101>;");
    EXPECT_EQ(requests[0].body, u"");
}

TEST_F(RecipientStrings, AContactsNameIsReadByItsIdentifierAndAGoneContactIsAFailure)
{
    ASSERT_EQ(OpenContactStore(m_group.ContactStore(), nullptr), S_OK);
    Bstr name;
    EXPECT_EQ(GetContactName(*m_group.ContactStore(), m_bob, name.Out()), S_OK);
    EXPECT_EQ(std::u16string(name.Text()), u"Bob");
    ASSERT_TRUE(device::contacts::Delete(m_bob));
    EXPECT_TRUE(FAILED(GetContactName(*m_group.ContactStore(), m_bob, name.Out())));
    EXPECT_EQ(name.Get(), nullptr);
}
