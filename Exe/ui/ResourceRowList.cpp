#include "ui/ResourceRowList.h"

#include "app/Program.h"

namespace {
constexpr int kTextCapacity = 128;
}

ResourceRowList::~ResourceRowList()
{
    for (int row = 0; row < m_count; ++row) {
        if (m_icons[row])
            DestroyIcon(m_icons[row]);
        m_icons[row] = nullptr;
    }
}

HRESULT ResourceRowList::Create(HWND parent, int id)
{
    if (FAILED(OwnerDrawList::Create(parent, id, 0)) || FAILED(LoadIcons()) || FAILED(Fill()))
        return E_FAIL;
    return S_OK;
}

HRESULT ResourceRowList::LoadIcons()
{
    for (int row = 0; row < m_count; ++row) {
        HICON& icon = m_icons[row];
        icon = static_cast<HICON>(LoadImageW(g_program.resources, MAKEINTRESOURCEW(m_rows[row].iconId), IMAGE_ICON,
                                             IconWidth(), IconHeight(), 0));
        if (!icon || ImageList_AddIcon(Images(), icon) != row)
            return E_FAIL;
    }
    return S_OK;
}

HRESULT ResourceRowList::Fill()
{
    HWND list = Window();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    HRESULT result = S_OK;
    for (int row = 0; row < m_count && SUCCEEDED(result); ++row) {
        WCHAR title[kTextCapacity] = {};
        LoadStringW(g_program.resources, m_rows[row].titleId, title, kTextCapacity);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = row;
        item.pszText = title;
        item.iImage = row;
        item.lParam = m_rows[row].data;
        if (SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) != row)
            result = E_FAIL;
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    if (FAILED(result))
        return result;
    SelectRow(0);
    SetFocus(list);
    return S_OK;
}

void ResourceRowList::DrawRow(const DRAWITEMSTRUCT& item)
{
    int row = static_cast<int>(item.itemID);
    if (row < 0 || row >= m_count)
        return;
    WCHAR title[kTextCapacity] = {}, subtitle[kTextCapacity] = {};
    LoadStringW(g_program.resources, m_rows[row].titleId, title, kTextCapacity);
    LoadStringW(g_program.resources, m_rows[row].subtitleId, subtitle, kTextCapacity);
    DrawTwoLineRow(item, title, subtitle, row, false);
}
