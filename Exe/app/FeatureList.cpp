#include "app/FeatureList.h"

#include "app/FeatureEntry.h"
#include "app/MainWindow.h"
#include "app/Program.h"

namespace {
constexpr int kTextCapacity = 128;
}

FeatureList::~FeatureList()
{
    for (HICON& icon : g_program.featureIcons) {
        if (icon)
            DestroyIcon(icon);
        icon = nullptr;
    }
}

HRESULT FeatureList::Create(HWND parent, int id)
{
    if (FAILED(OwnerDrawList::Create(parent, id, 0)) || FAILED(LoadIcons()) || FAILED(Fill()))
        return E_FAIL;
    return S_OK;
}

HRESULT FeatureList::LoadIcons()
{
    for (int row = 0; row < kFeatureRowCount; ++row) {
        HICON& icon = g_program.featureIcons[row];
        icon = static_cast<HICON>(LoadImageW(g_program.resources, MAKEINTRESOURCEW(FeatureAt(row).iconId),
                                             IMAGE_ICON, IconWidth(), IconHeight(), 0));
        if (!icon || ImageList_AddIcon(Images(), icon) != row)
            return E_FAIL;
    }
    return S_OK;
}

HRESULT FeatureList::Fill()
{
    HWND list = Window();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    HRESULT result = S_OK;
    for (int row = 0; row < kFeatureRowCount && SUCCEEDED(result); ++row) {
        const FeatureEntry& entry = FeatureAt(row);
        WCHAR title[kTextCapacity] = {};
        LoadStringW(g_program.resources, entry.titleId, title, kTextCapacity);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = row;
        item.pszText = title;
        item.iImage = row;
        item.lParam = reinterpret_cast<LPARAM>(&entry);
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

HRESULT FeatureList::Activate(int row)
{
    auto entry = reinterpret_cast<const FeatureEntry*>(RowData(row));
    if (!entry)
        return E_FAIL;
    // A feature that closes the program destroys this list on the way: nothing of it is used afterwards.
    return g_mainWindow.RunFeature(*entry, Window());
}

void FeatureList::DrawRow(const DRAWITEMSTRUCT& item)
{
    auto entry = reinterpret_cast<const FeatureEntry*>(item.itemData);
    if (!entry)
        return;
    WCHAR title[kTextCapacity] = {}, subtitle[kTextCapacity] = {};
    LoadStringW(g_program.resources, entry->titleId, title, kTextCapacity);
    LoadStringW(g_program.resources, entry->subtitleId, subtitle, kTextCapacity);
    DrawTwoLineRow(item, title, subtitle, static_cast<int>(item.itemID), false);
}
