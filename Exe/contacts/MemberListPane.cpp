#include "contacts/MemberListPane.h"

#include "app/ResourceText.h"
#include "app/WaitCursor.h"
#include "contacts/ContactGroup.h"
#include "contacts/ContactStore.h"
#include "store/Owners.h"

#include "ids.h"

#include <memory>

HRESULT MemberListPane::Attach(HWND list)
{
    std::unique_ptr<WCHAR[]> empty(CopyResourceString(IDS_MEMBERS_EMPTY));
    if (FAILED(SetEmptyText(empty.get())))
        return E_FAIL;
    return OwnerDrawList::Attach(list);
}

HRESULT MemberListPane::Fill(const ContactGroup* group, IPOutlookApp* contactStore)
{
    WaitCursor wait;
    HWND list = Window();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    HRESULT result = group ? InsertRows(*group, contactStore) : E_INVALIDARG;
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    SelectRow(0);
    return result;
}

HRESULT MemberListPane::InsertRows(const ContactGroup& group, IPOutlookApp* contactStore)
{
    HWND list = Window();
    if (!SendMessageW(list, LVM_DELETEALLITEMS, 0, 0))
        return E_FAIL;
    for (size_t i = 0; i < group.MemberCount(); ++i) {
        // A contact the store can't give has no row, but stays a member.
        CEOID id = group.Member(i);
        Bstr name;
        if (FAILED(GetContactName(contactStore, id, name.Out())))
            continue;
        LVITEMW row{};
        row.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        row.pszText = name.Get();
        row.lParam = static_cast<LPARAM>(id);
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
    }
    return S_OK;
}
