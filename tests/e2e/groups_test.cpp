// The installed Zelkova's groups screen and group edit screen through the device tool: groups made, changed
// and deleted with keys and menus, members picked in the phone's contact chooser, what reaches the registry,
// and the compose forms a group opens.
#include "e2e/ZelkovaPhone.h"

#include "ids.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

using namespace e2e_testing;

namespace {

constexpr const char* kGroupsKey = "HKCU\\Software\\Orvane\\Zelkova\\Groups";
constexpr const char* kChooserTitle = "Select a Contact";

using Rows = std::vector<std::vector<std::string>>;

class ZelkovaGroups : public ZelkovaPhone {
protected:
    // Started past the welcome hint, on the groups screen; the program's process id.
    std::string OpenGroups()
    {
        SetSetting("OneTimeMsg_264", "REG_DWORD", "1");
        std::string pid = Launch();
        ExpectPrints({"wait"}, "idle\n");
        ExpectPrints({"row", "1"}, "selected row 1\n");
        EXPECT_EQ(Title(), "Groups");
        return pid;
    }

    void StoreGroup(const std::string& keyName, const std::string& name, const std::vector<uint32_t>& members)
    {
        std::string key = std::string(kGroupsKey) + "\\" + keyName;
        Output({"reg", "set", key, "", "REG_SZ", name});
        Output({"reg", "set", key, "Contacts", "REG_BINARY", MemberBytes(members)});
    }

    // Every stored group, by name: its member list as `phone reg get` shows it. A group holds nothing else.
    std::map<std::string, std::string> StoredGroups()
    {
        std::map<std::string, std::string> groups;
        phone_testing::Outcome keys = Run({"reg", "get", kGroupsKey});
        std::istringstream subkeys(keys.out);
        for (std::string key; std::getline(subkeys, key);) {
            std::vector<std::string> values = Lines({"reg", "get", key.substr(0, key.size() - 1)});
            EXPECT_EQ(values.size(), 2u) << key;
            if (values.size() != 2 || values[0].rfind("@ REG_SZ ", 0) != 0 ||
                values[1].rfind("Contacts REG_BINARY", 0) != 0)
                continue;
            std::string members = values[1].substr(std::string("Contacts REG_BINARY").size());
            groups[values[0].substr(9)] = members.empty() ? members : members.substr(1);
        }
        return groups;
    }

    std::string Title() { return Json({"screen", "--json"})["title"].text; }
    Rows ListRows(int id) { return RowsOf(Json({"screen", "--json"}), id); }
    // Each selected row's text.
    std::vector<std::string> Selected(int id)
    {
        std::vector<std::string> selected;
        JsonValue list = ControlOf(Json({"screen", "--json"}), id);
        for (const JsonValue& row : list["rows"].items)
            if (row["selected"].boolean)
                selected.push_back(row["text"].text);
        return selected;
    }

    void Choose(const std::string& item) { ExpectPrints({"menu", item}, "chose " + item + "\n"); }
    void Press(const std::string& key) { ExpectPrints({"press", key}, "pressed " + key + "\n"); }
    void Pick(int row) { ExpectPrints({"row", std::to_string(row)}, "selected row " + std::to_string(row) + "\n"); }

    std::string NoMembers() { return ResourceText(IDS_GROUP_NO_MEMBERS); }
    std::string OneMember() { return ResourceText(IDS_GROUP_ONE_MEMBER); }
    std::string Members(int count)
    {
        std::string format = ResourceText(IDS_GROUP_MEMBERS_FORMAT);
        return format.replace(format.find("%d"), 2, std::to_string(count));
    }
};

} // namespace

TEST_F(ZelkovaGroups, SampleGroupsAreMadeOnceOnAVisitThatFindsNoGroupAtAll)
{
    StoreGroup("{00000000-0000-4000-8000-000000000001}", "Book club", {});
    OpenGroups();
    EXPECT_EQ(ListRows(IDC_GROUP_LIST), (Rows{{"Book club", NoMembers()}}));
    Choose("Delete group"); // no question asked
    EXPECT_TRUE(StoredGroups().empty());
    EXPECT_EQ(ControlOf(Json({"screen", "--json"}), IDC_GROUP_LIST)["text"].text, ResourceText(IDS_GROUPS_EMPTY));
    ExpectFails({"menu", "Delete group"}, 1); // greyed without a selection
    Press("back");
    Choose("Exit");
    ASSERT_TRUE(RunningAre({}));
    EXPECT_EQ(Setting("SampleGrp"), "REG_DWORD 0");

    OpenGroups();
    std::string family = ResourceText(IDS_SAMPLE_GROUP_FAMILY), friends = ResourceText(IDS_SAMPLE_GROUP_FRIENDS),
                work = ResourceText(IDS_SAMPLE_GROUP_WORK);
    EXPECT_EQ(ListRows(IDC_GROUP_LIST), (Rows{{family, NoMembers()}, {friends, NoMembers()}, {work, NoMembers()}}));
    EXPECT_EQ(StoredGroups(), (std::map<std::string, std::string>{{family, ""}, {friends, ""}, {work, ""}}));
    for (int i = 0; i < 3; ++i)
        Choose("Delete group");
    Press("back");
    Choose("Exit");
    ASSERT_TRUE(RunningAre({}));
    EXPECT_EQ(Setting("SampleGrp"), "REG_DWORD 1");

    OpenGroups();
    EXPECT_TRUE(ListRows(IDC_GROUP_LIST).empty());
    EXPECT_TRUE(StoredGroups().empty());
}

TEST_F(ZelkovaGroups, ANewGroupTakesANameOfAtMost25CharactersAndMembersPickedInTheChooser)
{
    uint32_t ann = AddContact("Ann", "555 101"), bob = AddContact("Bob", "555 202");
    SetSetting("SampleGrp", "REG_DWORD", "1");
    OpenGroups();
    Choose("New group");
    JsonValue edit = Json({"screen", "--json"});
    EXPECT_EQ(edit["title"].text, "Group"); // a group never stored: no chooser by itself
    EXPECT_FALSE(edit["softkeys"][0]["enabled"].boolean);
    EXPECT_TRUE(ControlOf(edit, IDC_GROUP_NAME)["focused"].boolean);
    EXPECT_TRUE(RowsOf(edit, IDC_MEMBER_LIST).empty());
    Output({"type", "Neighbourhood watch group A-Z"});
    edit = Json({"screen", "--json"});
    EXPECT_EQ(ControlOf(edit, IDC_GROUP_NAME)["text"].text, "Neighbourhood watch group");
    EXPECT_TRUE(edit["softkeys"][0]["enabled"].boolean);

    Choose("Add contact");
    EXPECT_EQ(Title(), kChooserTitle);
    Pick(1);
    EXPECT_EQ(ListRows(IDC_MEMBER_LIST), (Rows{{"Bob"}}));
    Choose("Add contact");
    Pick(0);
    EXPECT_EQ(ListRows(IDC_MEMBER_LIST), (Rows{{"Ann"}, {"Bob"}}));
    EXPECT_EQ(Selected(IDC_MEMBER_LIST), std::vector<std::string>{"Ann"});
    Choose("Add contact"); // a member already: nothing changes but its row is selected
    Pick(1);
    EXPECT_EQ(ListRows(IDC_MEMBER_LIST), (Rows{{"Ann"}, {"Bob"}}));
    EXPECT_EQ(Selected(IDC_MEMBER_LIST), std::vector<std::string>{"Bob"});
    Press("soft1");
    EXPECT_EQ(Title(), "Groups");
    EXPECT_EQ(Selected(IDC_GROUP_LIST), std::vector<std::string>{"Neighbourhood watch group"});
    EXPECT_EQ(ListRows(IDC_GROUP_LIST)[0][1], Members(2));
    EXPECT_EQ(StoredGroups(),
              (std::map<std::string, std::string>{{"Neighbourhood watch group", MemberBytes({bob, ann})}}));

    Choose("Edit group");
    Press("down"); // to the member list, Ann selected
    Choose("Remove contact");
    EXPECT_EQ(ListRows(IDC_MEMBER_LIST), (Rows{{"Bob"}}));
    EXPECT_TRUE(Selected(IDC_MEMBER_LIST).empty());
    Press("soft1");
    EXPECT_EQ(ListRows(IDC_GROUP_LIST)[0][1], OneMember());
    EXPECT_EQ(StoredGroups(), (std::map<std::string, std::string>{{"Neighbourhood watch group", MemberBytes({bob})}}));
}

TEST_F(ZelkovaGroups, ActivatingAGroupComposesToItsMembersOrAsksAnEmptyGroupForAFirstMember)
{
    uint32_t ann = AddContact("Ann", "555 101"), bob = AddContact("Bob", "555 202"), cid = AddContact("Cid", "555 303");
    StoreGroup("{00000000-0000-4000-8000-000000000001}", "Team", {cid, ann});
    StoreGroup("{00000000-0000-4000-8000-000000000002}", "Gone", {999}); // contacts no longer in the store
    StoreGroup("{00000000-0000-4000-8000-000000000003}", "Empty", {});
    std::string pid = OpenGroups();
    EXPECT_EQ(ListRows(IDC_GROUP_LIST), (Rows{{"Empty", NoMembers()}, {"Gone", OneMember()}, {"Team", Members(2)}}));

    Pick(1); // nobody to write to: the screen stays
    EXPECT_EQ(Title(), "Groups");
    ExpectPrints({"composed"}, "");

    Pick(0);
    EXPECT_EQ(Title(), kChooserTitle);
    Press("soft2"); // cancelling the chooser leaves the edit screen open
    EXPECT_EQ(Title(), "Group");
    Choose("Cancel");
    EXPECT_EQ(Title(), "Groups");
    EXPECT_EQ(StoredGroups()["Empty"], "");
    Pick(0);
    Pick(1); // Bob, kept at once
    EXPECT_EQ(Title(), "Groups");
    EXPECT_EQ(StoredGroups()["Empty"], MemberBytes({bob}));
    EXPECT_EQ(ListRows(IDC_GROUP_LIST)[0], (std::vector<std::string>{"Empty", OneMember()}));
    ExpectPrints({"composed"}, "");

    Pick(2);
    JsonValue forms = Json({"composed", "--json"});
    ASSERT_EQ(forms.Size(), 1u);
    EXPECT_EQ(forms[0]["kind"].text, "sms");
    EXPECT_EQ(forms[0]["to"].text, "Cid <555 303>;Ann <555 101>;"); // in member order
    // The phone's text form, addressed to the members; Send texts each of them, by name.
    EXPECT_EQ(Title(), "Text Message");
    std::string form = Output({"screen"});
    EXPECT_NE(form.find("[Cid <555 303>;Ann <555 101>;]"), std::string::npos) << form;
    Output({"type", "Meet at 8"});
    Press("soft1");
    EXPECT_EQ(Title(), "Zelkova");
    EXPECT_TRUE(RunningAre({pid}));
    JsonValue sent = Json({"sms", "list", "--folder", "sent", "--json"});
    ASSERT_EQ(sent.Size(), 2u);
    std::multiset<std::string> names;
    for (const JsonValue& message : sent.items) {
        EXPECT_EQ(message["text"].text, "Meet at 8");
        ASSERT_EQ(message["to"].Size(), 1u);
        names.insert(message["to"][0]["name"].text + " " + message["to"][0]["address"].text);
    }
    EXPECT_EQ(names, (std::multiset<std::string>{"Ann 555 101", "Cid 555 303"}));

    // With AutoExit a composed message ends the program; the form stays until it is sent or cancelled.
    Choose("Exit");
    ASSERT_TRUE(RunningAre({}));
    SetSetting("AutoExit", "REG_DWORD", "1");
    OpenGroups();
    Pick(2);
    EXPECT_TRUE(ProgramsAre({"messaging.exe"}));
    EXPECT_EQ(Title(), "Text Message");
    Choose("Cancel");
    EXPECT_TRUE(ProgramsAre({}));
    EXPECT_EQ(Json({"composed", "--json"}).Size(), 2u);
    EXPECT_EQ(Json({"sms", "list", "--json"}).Size(), 2u); // the cancelled form sent nothing
}

TEST_F(ZelkovaGroups, OnlyAConfirmedChangeIsStoredAndACancelledOneLastsUntilTheListIsReadAgain)
{
    uint32_t ann = AddContact("Ann", "555 101"), bob = AddContact("Bob", "555 202");
    const std::string team = std::string(kGroupsKey) + "\\{00000000-0000-4000-8000-000000000001}";
    StoreGroup("{00000000-0000-4000-8000-000000000001}", "Team", {ann, bob});
    OpenGroups();

    Choose("Edit group");
    Choose("Remove all");
    EXPECT_TRUE(ListRows(IDC_MEMBER_LIST).empty());
    Choose("Cancel");
    EXPECT_EQ(ListRows(IDC_GROUP_LIST), (Rows{{"Team", NoMembers()}}));
    EXPECT_EQ(StoredGroups()["Team"], MemberBytes({ann, bob}));
    Press("soft1"); // the group in memory has no members: the chooser, not the compose form
    EXPECT_EQ(Title(), kChooserTitle);
    Press("soft2");
    Choose("Cancel");
    ExpectPrints({"composed"}, "");

    // Making a group reads every group again from the registry.
    Choose("New group");
    Output({"type", "Solo"});
    Press("soft1");
    EXPECT_EQ(ListRows(IDC_GROUP_LIST), (Rows{{"Solo", NoMembers()}, {"Team", Members(2)}}));
    EXPECT_EQ(Selected(IDC_GROUP_LIST), std::vector<std::string>{"Solo"});

    // Done without a change writes nothing: a key removed meanwhile stays removed.
    Press("down");
    Choose("Edit group");
    Output({"reg", "delete", team});
    Press("soft1");
    EXPECT_EQ(StoredGroups(), (std::map<std::string, std::string>{{"Solo", ""}}));

    Choose("Edit group");
    Choose("Remove all");
    Press("soft1");
    EXPECT_EQ(StoredGroups(), (std::map<std::string, std::string>{{"Solo", ""}, {"Team", ""}}));
}
