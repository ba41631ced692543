#include "contacts/GroupListPane.h"

#include "app/Program.h"
#include "app/ResourceText.h"
#include "app/WaitCursor.h"
#include "contacts/RecipientString.h"

#include "ids.h"

#include <strsafe.h>

#include <memory>

namespace {
constexpr int kSubtitleCapacity = 64;
}

GroupListPane::~GroupListPane()
{
    if (m_icon)
        DestroyIcon(m_icon);
}

HRESULT GroupListPane::Create(HWND parent, int id)
{
    std::unique_ptr<WCHAR[]> empty(CopyResourceString(IDS_GROUPS_EMPTY));
    if (FAILED(SetEmptyText(empty.get())))
        return E_FAIL;
    return OwnerDrawList::Create(parent, id, LVS_SORTASCENDING);
}

HRESULT GroupListPane::Fill(LPCWSTR selectName)
{
    WaitCursor wait;
    HWND list = Window();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    HRESULT result = InsertRows();
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    if (selectName)
        SelectRowByText(selectName);
    else
        SelectRow(0);
    return result;
}

// The rows go before the groups they point at are reloaded, so no row ever points at a freed group.
HRESULT GroupListPane::InsertRows()
{
    HWND list = Window();
    if (!SendMessageW(list, LVM_DELETEALLITEMS, 0, 0))
        return E_FAIL;
    m_groups.LoadAll();
    LoadGroupIcon();
    for (size_t i = 0; i < m_groups.Count(); ++i) {
        ContactGroup* group = m_groups.Item(i);
        LVITEMW row{};
        row.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        row.iItem = static_cast<int>(i);
        row.pszText = const_cast<LPWSTR>(group->Text());
        row.lParam = reinterpret_cast<LPARAM>(group);
        if (SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row)) < 0)
            return E_FAIL;
    }
    return S_OK;
}

// A missing icon leaves the rows without one.
void GroupListPane::LoadGroupIcon()
{
    if (m_icon)
        return;
    m_icon = static_cast<HICON>(
        LoadImageW(g_program.resources, MAKEINTRESOURCEW(IDI_GROUP), IMAGE_ICON, IconWidth(), IconHeight(), 0));
    if (m_icon)
        ImageList_AddIcon(Images(), m_icon);
}

int GroupListPane::RowCount() const
{
    return static_cast<int>(SendMessageW(Window(), LVM_GETITEMCOUNT, 0, 0));
}

HRESULT GroupListPane::Activate(int row)
{
    if (row < 0)
        return E_FAIL;
    ContactGroup* group = GroupAt(row);
    if (!group)
        return E_OUTOFMEMORY;
    if (group->MemberCount() == 0) {
        // The edit screen asks for a first member at once; whatever comes of it, the screen stays.
        group->Edit(Window());
        return E_ABORT;
    }
    HRESULT hr = ComposeToGroup(*group);
    if (SUCCEEDED(hr))
        SendMessageW(GetParent(Window()), WM_GROUP_COMPOSED, 0, 0);
    return hr;
}

void GroupListPane::DrawRow(const DRAWITEMSTRUCT& item)
{
    auto group = reinterpret_cast<const ContactGroup*>(item.itemData);
    if (!group)
        return;
    WCHAR subtitle[kSubtitleCapacity] = {};
    size_t members = group->MemberCount();
    if (members < 2) {
        LoadStringW(g_program.resources, members == 0 ? IDS_GROUP_NO_MEMBERS : IDS_GROUP_ONE_MEMBER, subtitle,
                    kSubtitleCapacity);
    } else {
        WCHAR format[kSubtitleCapacity] = {};
        LoadStringW(g_program.resources, IDS_GROUP_MEMBERS_FORMAT, format, kSubtitleCapacity);
        StringCchPrintfW(subtitle, kSubtitleCapacity, format, static_cast<int>(members));
    }
    DrawTwoLineRow(item, group->Text(), subtitle, 0, false);
}
