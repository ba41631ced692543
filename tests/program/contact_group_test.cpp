#include "contacts/ContactGroupList.h"

#include "RegistryTesting.h"
#include "UtilsOnDevice.h"
#include "support/TempDevice.h"

#include "pimstore/ContactsDevice.h"

#include <map>

using namespace program_testing;
using testing_support::TempDevice;

namespace {

const std::u16string kGroups = u"Software\\Orvane\\Zelkova\\Groups\\";

void StoreGroup(const std::u16string& keyName, const std::u16string& name, const Bytes& contacts)
{
    SetString(kGroups + keyName, nullptr, name);
    SetBinary(kGroups + keyName, u"Contacts", contacts);
}

std::vector<CEOID> MembersOf(const RecipientList& list)
{
    std::vector<CEOID> members;
    for (size_t i = 0; i < list.MemberCount(); ++i)
        members.push_back(list.Member(i));
    return members;
}

// The groups LoadAll found, by key name: name and members.
std::map<std::u16string, std::pair<std::u16string, std::vector<CEOID>>> Loaded(const ContactGroupList& list)
{
    std::map<std::u16string, std::pair<std::u16string, std::vector<CEOID>>> groups;
    for (size_t i = 0; i < list.Count(); ++i) {
        const ContactGroup* group = list.Item(i);
        EXPECT_FALSE(group->IsDirty());
        groups[group->KeyName()] = {group->Text(), MembersOf(*group)};
    }
    return groups;
}

} // namespace

TEST(ContactGroupStore, AGroupIsStoredAsExactlyItsNameAndItsMembersAndLoadsBack)
{
    TempDevice device;
    const std::u16string key = u"{0A1B2C3D-0000-4000-8000-00000000000A}";
    StoreGroup(key, u"Family", Ids({3}));
    ContactGroup group;
    ASSERT_EQ(group.Load(key.c_str()), S_OK);
    EXPECT_EQ(MembersOf(group), std::vector<CEOID>{3});

    ASSERT_EQ(group.SetText(u"family"), S_OK); // another letter case is a change
    EXPECT_TRUE(group.IsDirty());
    ASSERT_EQ(group.AddMember(0x01020304), S_OK);
    ASSERT_EQ(group.AddMember(0x80), S_OK);
    ASSERT_EQ(group.Save(), S_OK);
    EXPECT_FALSE(group.IsDirty());

    auto values = ValuesOf(kGroups + key);
    ASSERT_EQ(values.size(), 2u);
    for (const Value& value : values) {
        if (value.name.empty()) {
            EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
            EXPECT_EQ(value.data, (Bytes{'f', 0, 'a', 0, 'm', 0, 'i', 0, 'l', 0, 'y', 0, 0, 0}));
        } else {
            EXPECT_EQ(value.name, u"Contacts");
            EXPECT_EQ(value.type, static_cast<DWORD>(REG_BINARY));
            EXPECT_EQ(value.data, Ids({3, 0x01020304, 0x80}));
        }
    }

    ASSERT_EQ(group.ClearMembers(), S_OK);
    ASSERT_EQ(group.Save(), S_OK);
    ContactGroupList list;
    ASSERT_EQ(list.LoadAll(), S_OK);
    auto loaded = Loaded(list);
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[key].first, u"family");
    EXPECT_TRUE(loaded[key].second.empty());
    EXPECT_EQ(ValuesOf(kGroups + key).size(), 2u);
}

TEST(ContactGroupStore, OnlyGroupsWithAWellFormedNameAndMemberListAreLoaded)
{
    TempDevice device;
    ContactGroupList list;
    EXPECT_EQ(list.LoadAll(), S_OK); // no groups key yet
    EXPECT_EQ(list.Count(), 0u);

    StoreGroup(u"empty", u"No one", {});
    StoreGroup(u"name25", std::u16string(25, u'n'), Ids({1}));
    StoreGroup(u"name26", std::u16string(26, u'n'), Ids({1}));
    StoreGroup(u"unnamed", u"", Ids({2}));
    // Whole identifiers only, zeros and repeats dropped: 5, 0, 5, 0x201 and one stray byte.
    StoreGroup(u"ragged", u"Ragged", {5, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 1, 2, 0, 0, 0xAA});
    StoreGroup(u"twin1", u"Friends", Ids({7}));
    StoreGroup(u"twin2", u"Friends", Ids({8}));
    SetString(kGroups + u"nocontacts", nullptr, u"Nobody");
    StoreGroup(u"dword", u"Typed", {});
    DWORD number = 9;
    SetValue(kGroups + u"dword", u"Contacts", REG_DWORD, &number, sizeof(number));
    StoreGroup(u"unterminated", u"", Ids({4}));
    SetValue(kGroups + u"unterminated", nullptr, REG_SZ, u"ab", 4);
    StoreGroup(std::u16string(39, u'k'), u"Long key", Ids({4})); // a key name the program never makes
    StoreGroup(u"oddname", u"", Ids({4}));
    SetValue(kGroups + u"oddname", nullptr, REG_SZ, u"ab", 3);
    StoreGroup(u"expand", u"", Ids({6}));
    SetValue(kGroups + u"expand", nullptr, REG_EXPAND_SZ, u"Expanded", 18);
    StoreGroup(u"zerobytes", u"", Ids({6}));
    SetValue(kGroups + u"zerobytes", nullptr, REG_SZ, u"", 0);

    ASSERT_EQ(list.LoadAll(), S_OK);
    auto loaded = Loaded(list);
    EXPECT_EQ(loaded.size(), 8u);
    EXPECT_EQ(loaded[u"empty"], (std::pair<std::u16string, std::vector<CEOID>>{u"No one", {}}));
    EXPECT_EQ(loaded[u"name25"].first, std::u16string(25, u'n'));
    EXPECT_EQ(loaded[u"unnamed"].second, std::vector<CEOID>{2});
    EXPECT_EQ(loaded[u"ragged"].second, (std::vector<CEOID>{5, 0x201}));
    EXPECT_EQ(loaded[u"twin1"], (std::pair<std::u16string, std::vector<CEOID>>{u"Friends", {7}}));
    EXPECT_EQ(loaded[u"twin2"], (std::pair<std::u16string, std::vector<CEOID>>{u"Friends", {8}}));
    EXPECT_EQ(loaded[u"expand"].first, u"Expanded");
    EXPECT_EQ(loaded[u"zerobytes"], (std::pair<std::u16string, std::vector<CEOID>>{u"", {6}}));
    for (const char16_t* left : {u"name26", u"nocontacts", u"dword", u"unterminated", u"oddname"})
        EXPECT_EQ(loaded.count(left), 0u) << std::string(left, left + std::char_traits<char16_t>::length(left));

    // Loading again replaces what was held.
    ASSERT_EQ(list.LoadAll(), S_OK);
    EXPECT_EQ(list.Count(), 8u);
}

TEST(ContactGroupStore, OnlyRealChangesMarkAGroupChangedAndNoIdentifierIsZeroOrRepeated)
{
    TempDevice device;
    StoreGroup(u"team", u"Team", Ids({4, 6}));
    ContactGroup group;
    ASSERT_EQ(group.Load(u"team"), S_OK);
    EXPECT_EQ(group.SetText(u"Team"), S_OK);
    EXPECT_EQ(group.AddMember(4), S_OK);
    EXPECT_EQ(group.AddMember(0), E_FAIL);
    EXPECT_EQ(group.RemoveMember(0), E_FAIL);
    EXPECT_EQ(group.RemoveMember(9), E_FAIL);
    EXPECT_FALSE(group.IsDirty());
    EXPECT_EQ(group.RemoveMember(4), S_OK);
    EXPECT_TRUE(group.IsDirty());
    EXPECT_EQ(MembersOf(group), std::vector<CEOID>{6});

    BYTE* block = reinterpret_cast<BYTE*>(1);
    DWORD size = 1;
    EXPECT_EQ(group.SerializeMembers(nullptr, &size), E_INVALIDARG);
    EXPECT_EQ(group.AddMembersFromBuffer(nullptr, 4), E_INVALIDARG);
    ContactGroup fresh;
    EXPECT_EQ(fresh.SerializeMembers(&block, &size), E_FAIL);
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(size, 0u);
}

TEST(ContactGroupStore, OnlyAStoredGroupWithANameIsSavedOrDeleted)
{
    TempDevice device;
    ContactGroup fresh;
    EXPECT_EQ(fresh.Save(), E_OUTOFMEMORY); // no name at all
    ASSERT_EQ(fresh.SetText(u""), S_OK);
    EXPECT_EQ(fresh.Save(), E_FAIL);
    EXPECT_EQ(fresh.Delete(), E_FAIL); // never stored
    // A name too long to load back is refused before anything is written, the key name included.
    ASSERT_EQ(fresh.SetText(std::u16string(26, u'n').c_str()), S_OK);
    EXPECT_EQ(fresh.Save(), E_INVALIDARG);
    EXPECT_EQ(fresh.KeyName()[0], u'\0');
    ContactGroupList none;
    ASSERT_EQ(none.LoadAll(), S_OK);
    EXPECT_EQ(none.Count(), 0u);

    StoreGroup(u"gone", u"Gone", Ids({4}));
    StoreGroup(u"kept", u"Kept", Ids({5}));
    ContactGroup renamed;
    ASSERT_EQ(renamed.Load(u"gone"), S_OK);
    ASSERT_EQ(renamed.SetText(std::u16string(26, u'g').c_str()), S_OK);
    EXPECT_EQ(renamed.Save(), E_INVALIDARG);
    ContactGroup group; // still loads, under its old name
    ASSERT_EQ(group.Load(u"gone"), S_OK);
    ASSERT_EQ(group.Delete(), S_OK);
    EXPECT_EQ(group.MemberCount(), 0u);
    EXPECT_EQ(std::u16string(group.Text()), u"Gone");
    EXPECT_TRUE(ValuesOf(kGroups + u"gone").empty());
    EXPECT_EQ(group.Delete(), E_FAIL);
    ContactGroupList list;
    ASSERT_EQ(list.LoadAll(), S_OK);
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(std::u16string(list.Item(0)->KeyName()), u"kept");
}

TEST(ContactGroupStore, ANewGroupIsSavedUnderAFreshGuidAndKeepsItsKeyWhenSavedAgain)
{
    TempDevice device;
    UtilsOnDevice utils;
    CEOID ann = device::contacts::Add(u"Ann", u"555 101");
    CEOID bob = device::contacts::Add(u"Bob", u"555 202");
    ContactGroup group;
    ASSERT_EQ(group.SetText(u"Family"), S_OK);
    group.AddMember(bob);
    group.AddMember(ann);
    ASSERT_EQ(group.Save(), S_OK);
    std::u16string key = group.KeyName();
    ASSERT_EQ(key.size(), 38u);
    EXPECT_EQ(key.front(), u'{');
    EXPECT_EQ(key.back(), u'}');

    ASSERT_EQ(group.SetText(u"Family and friends"), S_OK);
    ASSERT_EQ(group.Save(), S_OK);
    EXPECT_EQ(std::u16string(group.KeyName()), key);
    ContactGroup other;
    ASSERT_EQ(other.SetText(u"Family"), S_OK);
    ASSERT_EQ(other.Save(), S_OK);
    EXPECT_NE(std::u16string(other.KeyName()), key);

    ContactGroupList list;
    ASSERT_EQ(list.LoadAll(), S_OK);
    auto loaded = Loaded(list);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[key], (std::pair<std::u16string, std::vector<CEOID>>{u"Family and friends", {bob, ann}}));
    EXPECT_EQ(loaded[other.KeyName()], (std::pair<std::u16string, std::vector<CEOID>>{u"Family", {}}));
    auto values = ValuesOf(kGroups + key);
    ASSERT_EQ(values.size(), 2u);
}
