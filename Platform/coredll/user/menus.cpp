// Menus: creation, items by position or by command, their check and enabled states.
// Left out: bitmap and owner-drawn items (refused with ERROR_NOT_SUPPORTED): the device's menus show text.
#include <windows.h>

#include "user/Menu.h"
#include "user/ModuleResource.h"

#include <algorithm>

using device::Menu;
using device::MenuItem;
using device::MenuItemRef;
using device::MenuTable;

namespace {

std::shared_ptr<Menu> Lookup(HMENU handle)
{
    auto menu = MenuTable::Instance().Find(handle);
    if (!menu)
        SetLastError(ERROR_INVALID_MENU_HANDLE);
    return menu;
}

MenuItemRef LocateOrFail(HMENU handle, UINT item, bool byPosition)
{
    if (!Lookup(handle))
        return {};
    MenuItemRef ref = MenuTable::Instance().Locate(handle, item, byPosition);
    if (!ref.menu)
        SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return ref;
}

// An item as AppendMenu and InsertMenu describe it in their flags.
bool ItemFromFlags(UINT flags, UINT_PTR idOrMenu, LPCWSTR text, MenuItem* item)
{
    if (flags & (MF_BITMAP | MF_OWNERDRAW)) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    }
    item->type = flags & (MF_SEPARATOR | MF_MENUBARBREAK | MF_MENUBREAK | MF_HELP);
    item->state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
    if (flags & MF_POPUP) {
        auto submenu = reinterpret_cast<HMENU>(idOrMenu);
        if (!Lookup(submenu))
            return false;
        item->submenu = submenu;
    } else {
        item->id = static_cast<UINT>(idOrMenu);
    }
    if (!(flags & MF_SEPARATOR) && text)
        item->text = text;
    return true;
}

// MF_ bits of an item as GetMenuState reports them.
UINT StateBits(const MenuItem& item)
{
    UINT bits = (item.state & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE)) |
                (item.type & (MF_SEPARATOR | MF_MENUBARBREAK | MF_MENUBREAK | MF_HELP));
    return item.submenu ? bits | MF_POPUP : bits;
}

BOOL Insert(HMENU hMenu, UINT position, bool byPosition, UINT flags, UINT_PTR id, LPCWSTR text)
{
    auto& table = MenuTable::Instance();
    auto lock = table.Lock();
    auto menu = Lookup(hMenu);
    if (!menu)
        return FALSE;
    MenuItem item;
    if (!ItemFromFlags(flags, id, text, &item))
        return FALSE;
    if (byPosition) {
        size_t at = std::min<size_t>(position, menu->items.size()); // beyond the end (or -1): append
        menu->items.insert(menu->items.begin() + static_cast<ptrdiff_t>(at), std::move(item));
        return TRUE;
    }
    MenuItemRef before = LocateOrFail(hMenu, position, false);
    if (!before.menu)
        return FALSE;
    before.menu->items.insert(before.menu->items.begin() + static_cast<ptrdiff_t>(before.position), std::move(item));
    return TRUE;
}

BOOL Remove(HMENU hMenu, UINT position, UINT flags, bool destroySubmenu)
{
    auto& table = MenuTable::Instance();
    auto lock = table.Lock();
    MenuItemRef ref = LocateOrFail(hMenu, position, (flags & MF_BYPOSITION) != 0);
    if (!ref.menu)
        return FALSE;
    HMENU submenu = ref.Item().submenu;
    ref.menu->items.erase(ref.menu->items.begin() + static_cast<ptrdiff_t>(ref.position));
    if (destroySubmenu && submenu)
        table.Destroy(submenu);
    return TRUE;
}

} // namespace

HMENU WINAPI CreateMenu(void) { return MenuTable::Instance().Add(false); }

HMENU WINAPI CreatePopupMenu(void) { return MenuTable::Instance().Add(true); }

BOOL WINAPI DestroyMenu(HMENU hMenu)
{
    if (!MenuTable::Instance().Destroy(hMenu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI IsMenu(HMENU hMenu) { return MenuTable::Instance().Find(hMenu) != nullptr; }

HMENU WINAPI LoadMenuW(HINSTANCE hInstance, LPCWSTR lpMenuName)
{
    device::ResourceBytes resource = device::FindModuleResource(hInstance, lpMenuName, RT_MENU);
    if (!resource.data)
        return nullptr;
    HMENU menu = device::MenuFromTemplate(resource.data, resource.size);
    if (!menu)
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return menu;
}

HMENU WINAPI LoadMenuIndirectW(const void* lpMenuTemplate)
{
    HMENU menu = device::MenuFromTemplate(lpMenuTemplate, SIZE_MAX);
    if (!menu)
        SetLastError(ERROR_INVALID_PARAMETER);
    return menu;
}

BOOL WINAPI AppendMenuW(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem)
{
    return Insert(hMenu, static_cast<UINT>(-1), true, uFlags, uIDNewItem, lpNewItem);
}

BOOL WINAPI InsertMenuW(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem)
{
    return Insert(hMenu, uPosition, (uFlags & MF_BYPOSITION) != 0, uFlags & ~MF_BYPOSITION, uIDNewItem, lpNewItem);
}

BOOL WINAPI DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags) { return Remove(hMenu, uPosition, uFlags, true); }

BOOL WINAPI RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags) { return Remove(hMenu, uPosition, uFlags, false); }

HMENU WINAPI GetSubMenu(HMENU hMenu, int nPos)
{
    auto lock = MenuTable::Instance().Lock();
    MenuItemRef ref = LocateOrFail(hMenu, static_cast<UINT>(nPos), true);
    return ref.menu ? ref.Item().submenu : nullptr;
}

int WINAPI GetMenuItemCount(HMENU hMenu)
{
    auto lock = MenuTable::Instance().Lock();
    auto menu = Lookup(hMenu);
    return menu ? static_cast<int>(menu->items.size()) : -1;
}

UINT WINAPI GetMenuItemID(HMENU hMenu, int nPos)
{
    auto lock = MenuTable::Instance().Lock();
    MenuItemRef ref = LocateOrFail(hMenu, static_cast<UINT>(nPos), true);
    if (!ref.menu || ref.Item().submenu)
        return static_cast<UINT>(-1); // an item that opens a submenu has no command
    return ref.Item().id;
}

UINT WINAPI GetMenuState(HMENU hMenu, UINT uId, UINT uFlags)
{
    auto& table = MenuTable::Instance();
    auto lock = table.Lock();
    MenuItemRef ref = LocateOrFail(hMenu, uId, (uFlags & MF_BYPOSITION) != 0);
    if (!ref.menu)
        return static_cast<UINT>(-1);
    const MenuItem& item = ref.Item();
    UINT bits = StateBits(item);
    if (auto submenu = item.submenu ? table.Find(item.submenu) : nullptr)
        return (static_cast<UINT>(submenu->items.size()) << 8) | (bits & 0xFF);
    return bits;
}

BOOL WINAPI EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable)
{
    auto lock = MenuTable::Instance().Lock();
    MenuItemRef ref = LocateOrFail(hMenu, uIDEnableItem, (uEnable & MF_BYPOSITION) != 0);
    if (!ref.menu)
        return -1;
    MenuItem& item = ref.Item();
    UINT previous = item.state & (MF_GRAYED | MF_DISABLED);
    item.state = (item.state & ~(MF_GRAYED | MF_DISABLED)) | (uEnable & (MF_GRAYED | MF_DISABLED));
    return static_cast<BOOL>(previous);
}

DWORD WINAPI CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck)
{
    auto lock = MenuTable::Instance().Lock();
    MenuItemRef ref = LocateOrFail(hMenu, uIDCheckItem, (uCheck & MF_BYPOSITION) != 0);
    if (!ref.menu)
        return static_cast<DWORD>(-1);
    MenuItem& item = ref.Item();
    DWORD previous = item.state & MF_CHECKED;
    item.state = (uCheck & MF_CHECKED) ? (item.state | MF_CHECKED) : (item.state & ~MF_CHECKED);
    return previous;
}

BOOL WINAPI CheckMenuRadioItem(HMENU hMenu, UINT idFirst, UINT idLast, UINT idCheck, UINT uFlags)
{
    auto lock = MenuTable::Instance().Lock();
    bool byPosition = (uFlags & MF_BYPOSITION) != 0;
    // The range lies in the menu that holds the item to check.
    MenuItemRef checked = LocateOrFail(hMenu, idCheck, byPosition);
    if (!checked.menu)
        return FALSE;
    auto& items = checked.menu->items;
    for (size_t i = 0; i < items.size(); ++i) {
        MenuItem& item = items[i];
        UINT key = byPosition ? static_cast<UINT>(i) : item.id;
        if (key < idFirst || key > idLast || item.submenu || (item.type & MFT_SEPARATOR))
            continue;
        if (i == checked.position) {
            item.state |= MFS_CHECKED;
            item.type |= MFT_RADIOCHECK;
        } else {
            item.state &= ~MFS_CHECKED;
        }
    }
    return TRUE;
}

BOOL WINAPI GetMenuItemInfoW(HMENU hMenu, UINT uItem, BOOL fByPosition, LPMENUITEMINFOW lpmii)
{
    if (!lpmii || lpmii->cbSize < sizeof(MENUITEMINFOW)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto lock = MenuTable::Instance().Lock();
    MenuItemRef ref = LocateOrFail(hMenu, uItem, fByPosition != FALSE);
    if (!ref.menu)
        return FALSE;
    const MenuItem& item = ref.Item();
    if (lpmii->fMask & MIIM_STATE)
        lpmii->fState = item.state;
    if (lpmii->fMask & MIIM_ID)
        lpmii->wID = item.id;
    if (lpmii->fMask & MIIM_SUBMENU)
        lpmii->hSubMenu = item.submenu;
    if (lpmii->fMask & MIIM_CHECKMARKS)
        lpmii->hbmpChecked = lpmii->hbmpUnchecked = nullptr;
    if (lpmii->fMask & MIIM_DATA)
        lpmii->dwItemData = item.data;
    if (lpmii->fMask & MIIM_TYPE) {
        lpmii->fType = item.type;
        if (item.type & MFT_SEPARATOR) {
            lpmii->cch = 0;
        } else if (!lpmii->dwTypeData || lpmii->cch == 0) {
            lpmii->cch = static_cast<UINT>(item.text.size()); // the length, for sizing a buffer
        } else {
            size_t count = std::min<size_t>(item.text.size(), lpmii->cch - 1);
            std::copy_n(item.text.begin(), count, lpmii->dwTypeData);
            lpmii->dwTypeData[count] = 0;
            lpmii->cch = static_cast<UINT>(count);
        }
    }
    return TRUE;
}

BOOL WINAPI SetMenuItemInfoW(HMENU hMenu, UINT uItem, BOOL fByPosition, LPCMENUITEMINFOW lpmii)
{
    if (!lpmii || lpmii->cbSize < sizeof(MENUITEMINFOW)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if ((lpmii->fMask & MIIM_TYPE) && (lpmii->fType & (MFT_BITMAP | MFT_OWNERDRAW))) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    auto lock = MenuTable::Instance().Lock();
    MenuItemRef ref = LocateOrFail(hMenu, uItem, fByPosition != FALSE);
    if (!ref.menu)
        return FALSE;
    if ((lpmii->fMask & MIIM_SUBMENU) && lpmii->hSubMenu && !Lookup(lpmii->hSubMenu))
        return FALSE;
    MenuItem& item = ref.Item();
    if (lpmii->fMask & MIIM_STATE)
        item.state = lpmii->fState;
    if (lpmii->fMask & MIIM_ID)
        item.id = lpmii->wID;
    if (lpmii->fMask & MIIM_SUBMENU)
        item.submenu = lpmii->hSubMenu;
    if (lpmii->fMask & MIIM_DATA)
        item.data = lpmii->dwItemData;
    if (lpmii->fMask & MIIM_TYPE) {
        item.type = lpmii->fType;
        item.text = (lpmii->fType & MFT_SEPARATOR) || !lpmii->dwTypeData ? u"" : lpmii->dwTypeData;
    }
    return TRUE;
}
