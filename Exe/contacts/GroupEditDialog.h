// The group edit screen: the group's name and its members, added from the phone's contact chooser and
// removed one by one or all at once. It changes the group in place; saving is the caller's business.
#pragma once

#include "contacts/MemberListPane.h"
#include "ui/DialogBase.h"

#include <aygshell.h>

class ContactGroup;

class GroupEditDialog : public DialogBase {
public:
    explicit GroupEditDialog(ContactGroup* group) : m_group(group) {}
    ~GroupEditDialog() override;

    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;

private:
    HRESULT OnInitDialog();
    bool OnDone();
    // Adds the contact the user picks and selects its row; the focus ends on the member list either way.
    HRESULT AddContactToGroup();
    HRESULT AddPickedContact();
    HRESULT RemoveSelectedMember();
    void RemoveAllMembers();
    void OnInitMenuPopup(HMENU menu);

    HWND m_name = nullptr;
    SHACTIVATEINFO m_activation{};
    ContactGroup* m_group;
    MemberListPane m_members;
    IPOutlookApp* m_contactStore = nullptr;
};
