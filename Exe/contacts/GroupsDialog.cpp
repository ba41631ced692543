#include "contacts/GroupsDialog.h"

#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/ResourceText.h"
#include "app/WaitCursor.h"
#include "ui/Layout.h"
#include "ui/PlatformType.h"

#include "ids.h"

#include <memory>

namespace {
constexpr UINT kSampleGroupNames[] = {IDS_SAMPLE_GROUP_FAMILY, IDS_SAMPLE_GROUP_FRIENDS, IDS_SAMPLE_GROUP_WORK};
}

HRESULT ShowGroupsScreen(HWND owner)
{
    GroupsDialog screen;
    return RunDialog(IDD_GROUPS, owner, screen) == IDOK ? S_OK : E_FAIL;
}

LRESULT GroupsDialog::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled)
{
    handled = TRUE;
    LRESULT result = 0;
    if (m_groups.HandleScreenMessage(m_hwnd, IDC_GROUP_LIST, msg, wp, lp, &result))
        return result;
    switch (msg) {
    case WM_INITDIALOG:
        if (FAILED(OnInitDialog()))
            EndDialog(m_hwnd, IDCANCEL);
        return TRUE;
    case WM_COMMAND: OnCommand(LOWORD(wp)); return 0;
    case WM_GROUP_COMPOSED: EndDialog(m_hwnd, IDOK); return 0;
    case WM_INITMENUPOPUP:
        m_groups.EnableCommandsForSelection(reinterpret_cast<HMENU>(wp), {IDM_EDIT_GROUP, IDM_DELETE_GROUP});
        return 0;
    case WM_SETFOCUS:
        if (m_groups.Window())
            SetFocus(m_groups.Window());
        return 0;
    }
    handled = FALSE;
    return 0;
}

HRESULT GroupsDialog::OnInitDialog()
{
    InitFullScreenDialog(m_hwnd);
    if (FAILED(CreateMenuBar(m_hwnd, g_program.resources, IDM_GROUPS, &m_menuBar, FALSE)) ||
        FAILED(m_groups.Create(m_hwnd, IDC_GROUP_LIST)) || FAILED(m_groups.Fill(nullptr)))
        return E_FAIL;
    // Until the samples were made once, a visit that finds no groups makes them.
    if (!g_mainWindow.GetSettings().SampleGrp && m_groups.RowCount() == 0)
        CreateSampleGroups();
    return S_OK;
}

void GroupsDialog::OnCommand(UINT command)
{
    switch (command) {
    case IDOK:
        if (IsPocketPC())
            EndDialog(m_hwnd, IDOK);
        else
            m_groups.Activate(m_groups.SelectedRow()); // a composed message ends the screen
        break;
    case IDCANCEL: EndDialog(m_hwnd, IDCANCEL); break;
    case IDM_NEW_GROUP: NewGroup(); break;
    case IDM_EDIT_GROUP: EditSelectedGroup(); break;
    case IDM_DELETE_GROUP: DeleteSelectedGroup(); break;
    }
}

// Groups already saved stay when a later one fails. Once made, they are never made again.
HRESULT GroupsDialog::CreateSampleGroups()
{
    WaitCursor wait;
    for (UINT nameId : kSampleGroupNames) {
        ContactGroup group;
        std::unique_ptr<WCHAR[]> name(CopyResourceString(nameId));
        HRESULT hr = group.SetText(name.get());
        if (SUCCEEDED(hr))
            hr = group.Save();
        if (FAILED(hr))
            return hr;
    }
    HRESULT hr = m_groups.Fill(nullptr);
    if (SUCCEEDED(hr))
        g_mainWindow.GetSettings().SampleGrp = 1; // written with the other settings
    return hr;
}

HRESULT GroupsDialog::NewGroup()
{
    ContactGroup group;
    HRESULT hr = group.Edit(m_hwnd);
    if (SUCCEEDED(hr))
        m_groups.Fill(group.Text()); // the saved group comes back from the registry as a row of its own
    return hr;
}

HRESULT GroupsDialog::SelectedGroup(int* row, ContactGroup** group) const
{
    *row = m_groups.SelectedRow();
    if (*row < 0)
        return E_FAIL;
    *group = m_groups.GroupAt(*row);
    return *group ? S_OK : E_OUTOFMEMORY;
}

// The row keeps its place; it shows the new name and count when it is next drawn.
HRESULT GroupsDialog::EditSelectedGroup()
{
    int row;
    ContactGroup* group;
    HRESULT hr = SelectedGroup(&row, &group);
    return SUCCEEDED(hr) ? group->Edit(m_hwnd) : hr;
}

// No question asked. The group object stays in the collection until the next fill.
HRESULT GroupsDialog::DeleteSelectedGroup()
{
    int row;
    ContactGroup* group;
    HRESULT hr = SelectedGroup(&row, &group);
    if (SUCCEEDED(hr))
        hr = group->Delete();
    if (SUCCEEDED(hr)) {
        SendMessageW(m_groups.Window(), LVM_DELETEITEM, row, 0);
        m_groups.SelectRow(0);
    }
    return hr;
}
