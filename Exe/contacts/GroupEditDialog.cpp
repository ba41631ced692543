#include "contacts/GroupEditDialog.h"

#include "app/Binding.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "contacts/ContactGroup.h"
#include "contacts/ContactStore.h"
#include "store/Owners.h"
#include "ui/Layout.h"

#include "ids.h"

GroupEditDialog::~GroupEditDialog()
{
    CloseContactStore(&m_contactStore);
}

LRESULT GroupEditDialog::OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled)
{
    handled = TRUE;
    switch (msg) {
    case WM_INITDIALOG:
        if (FAILED(OnInitDialog()))
            EndDialog(m_hwnd, IDCANCEL);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK:
            if (OnDone())
                EndDialog(m_hwnd, IDOK);
            return 0;
        case IDCANCEL: EndDialog(m_hwnd, IDCANCEL); return 0;
        case IDM_ADD_CONTACT: AddContactToGroup(); return 0;
        case IDM_REMOVE_MEMBER: RemoveSelectedMember(); return 0;
        case IDM_REMOVE_ALL_MEMBERS: RemoveAllMembers(); return 0;
        case IDC_GROUP_NAME:
            if (HIWORD(wp) == EN_CHANGE) {
                EnableSoftKey(m_menuBar, IDOK, GetWindowTextLengthW(m_name) > 0);
                return 0;
            }
            break;
        }
        break;
    case WM_INITMENUPOPUP: OnInitMenuPopup(reinterpret_cast<HMENU>(wp)); return 0;
    case WM_NOTIFY: {
        auto header = reinterpret_cast<const NMHDR*>(lp);
        if (header->idFrom == IDC_MEMBER_LIST) {
            m_members.HandleNotify(header);
            return 0;
        }
        break;
    }
    case WM_SIZE:
        StretchControls(m_hwnd, {IDC_GROUP_NAME_LABEL, IDC_GROUP_MEMBERS_LABEL, IDC_GROUP_NAME, IDC_MEMBER_LIST});
        StretchToBottom(m_hwnd, IDC_MEMBER_LIST);
        return 0;
    case WM_ACTIVATE: SHHandleWMActivate(hwnd, wp, lp, &m_activation, FALSE); return 0;
    case WM_SETTINGCHANGE: SHHandleWMSettingChange(hwnd, wp, lp, &m_activation); return 0;
    }
    handled = FALSE;
    return 0;
}

// A failure before the members are listed ends the screen.
HRESULT GroupEditDialog::OnInitDialog()
{
    if (!m_group)
        return E_INVALIDARG;
    InitFullScreenDialog(m_hwnd);
    m_activation = SHACTIVATEINFO{};
    m_activation.cbSize = sizeof m_activation;
    if (FAILED(CreateMenuBar(m_hwnd, g_program.resources, IDM_GROUP_EDIT, &m_menuBar, TRUE)))
        return E_FAIL;
    EnableSoftKey(m_menuBar, IDOK, FALSE);
    m_name = GetDlgItem(m_hwnd, IDC_GROUP_NAME);
    SendMessageW(m_name, EM_LIMITTEXT, kMaxGroupNameLength, 0);
    SetControlsFont(m_hwnd, g_mainWindow.GetSettings().BoldFont(), {IDC_GROUP_NAME_LABEL, IDC_GROUP_MEMBERS_LABEL});
    SetWindowTextW(m_name, m_group->Text() ? m_group->Text() : TEXT("")); // its change notification sets Done
    HRESULT hr = m_members.Attach(GetDlgItem(m_hwnd, IDC_MEMBER_LIST));
    if (SUCCEEDED(hr))
        hr = OpenContactStore(&m_contactStore, m_hwnd);
    if (SUCCEEDED(hr))
        hr = m_members.Fill(m_group, m_contactStore);
    if (FAILED(hr))
        return hr;
    // A stored group without members was opened to be given one: the first pick is kept at once.
    if (m_group->KeyName()[0] && m_group->MemberCount() == 0 && SUCCEEDED(AddContactToGroup()))
        SendMessageW(m_hwnd, WM_COMMAND, IDOK, 0);
    return S_OK;
}

// An empty name is refused: the focus goes back to it and the screen stays.
bool GroupEditDialog::OnDone()
{
    WCHAR name[kMaxGroupNameLength + 1] = {};
    if (GetWindowTextW(m_name, name, kMaxGroupNameLength + 1) == 0) {
        SetFocus(m_name);
        return false;
    }
    m_group->SetText(name);
    return true;
}

HRESULT GroupEditDialog::AddContactToGroup()
{
    HRESULT hr = AddPickedContact();
    SetFocus(m_members.Window());
    return hr;
}

HRESULT GroupEditDialog::AddPickedContact()
{
    CEOID contact = 0;
    HRESULT hr = utils::PickContact(m_hwnd, &contact);
    if (FAILED(hr))
        return hr;
    // A contact already in the group changes nothing, but its row is still sought out.
    hr = m_group->AddMember(contact);
    if (FAILED(hr))
        return hr;
    m_members.Fill(m_group, m_contactStore);
    Bstr name;
    if (SUCCEEDED(GetContactName(m_contactStore, contact, name.Out())))
        m_members.SelectRowByText(name.Get());
    return S_OK;
}

HRESULT GroupEditDialog::RemoveSelectedMember()
{
    int row = m_members.SelectedRow();
    if (row < 0)
        return E_FAIL;
    HRESULT hr = m_group->RemoveMember(static_cast<CEOID>(m_members.RowData(row)));
    if (SUCCEEDED(hr))
        SendMessageW(m_members.Window(), LVM_DELETEITEM, row, 0);
    return hr;
}

// Marks the group changed even when it was empty already, so that Done stores it as it is.
void GroupEditDialog::RemoveAllMembers()
{
    m_group->ClearMembers();
    m_members.Fill(m_group, m_contactStore);
}

void GroupEditDialog::OnInitMenuPopup(HMENU menu)
{
    m_members.EnableCommandsForSelection(menu, {IDM_REMOVE_MEMBER});
    EnableMenuItem(menu, IDM_REMOVE_ALL_MEMBERS, MF_BYCOMMAND | (m_group->MemberCount() > 0 ? MF_ENABLED : MF_GRAYED));
}
