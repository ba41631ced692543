// The groups screen's list: every stored group, sorted by name, each row its name over its member count.
// The rows point into the pane's own collection, which each fill reloads from the registry.
#pragma once

#include "contacts/ContactGroupList.h"
#include "ui/OwnerDrawList.h"

// Sent to the list's parent when activating a group has opened the compose form.
constexpr UINT WM_GROUP_COMPOSED = WM_USER + 1;

class GroupListPane : public OwnerDrawList {
public:
    ~GroupListPane() override;

    // Creates the list as control id of parent.
    HRESULT Create(HWND parent, int id);
    // Reloads the groups and lists them, then selects the row of that name, or the first row without one.
    HRESULT Fill(LPCWSTR selectName);

    // The group of a row, or null for no row.
    ContactGroup* GroupAt(int row) const { return reinterpret_cast<ContactGroup*>(RowData(row)); }
    int RowCount() const;

    // Composes to the row's group; a group without members is edited instead, and the screen stays.
    HRESULT Activate(int row) override;
    void DrawRow(const DRAWITEMSTRUCT& item) override;

private:
    void LoadGroupIcon();
    HRESULT InsertRows();

    HICON m_icon = nullptr;
    ContactGroupList m_groups;
};
