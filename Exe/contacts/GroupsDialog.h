// The groups screen: every stored group with its member count. Activating a group opens the phone's
// text-message form addressed to all its members; the menu makes, edits and deletes groups. The first
// visit with no groups at all makes three sample groups.
#pragma once

#include "contacts/GroupListPane.h"
#include "ui/DialogBase.h"

class GroupsDialog : public DialogBase {
public:
    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;

private:
    HRESULT OnInitDialog();
    void OnCommand(UINT command);
    HRESULT CreateSampleGroups();
    HRESULT NewGroup();
    HRESULT EditSelectedGroup();
    HRESULT DeleteSelectedGroup();
    // The selected row's group: E_FAIL without a selection, E_OUTOFMEMORY for a row without a group.
    HRESULT SelectedGroup(int* row, ContactGroup** group) const;

    GroupListPane m_groups;
};

// Runs the groups screen over owner: S_OK when it ended with done (a message was composed, or on a PocketPC
// the screen was confirmed), E_FAIL otherwise.
HRESULT ShowGroupsScreen(HWND owner);
