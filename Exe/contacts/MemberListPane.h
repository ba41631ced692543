// The members of the group being edited, one plain row each: the contact's name, with its object identifier
// as the row's data. Rows are drawn by the list control itself, and activating one does nothing.
#pragma once

#include "ui/OwnerDrawList.h"

class ContactGroup;
struct IPOutlookApp;

class MemberListPane : public OwnerDrawList {
public:
    MemberListPane() { m_smallIcons = true; }

    // Takes over the edit screen's member list, which shows a note of its own while the group is empty.
    HRESULT Attach(HWND list);

    // One row per member whose contact the store can give; the first row is then selected.
    HRESULT Fill(const ContactGroup* group, IPOutlookApp* contactStore);

    HRESULT Activate(int) override { return E_NOTIMPL; }
    void DrawRow(const DRAWITEMSTRUCT&) override {}

private:
    HRESULT InsertRows(const ContactGroup& group, IPOutlookApp* contactStore);
};
