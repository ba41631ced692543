#include "user/Menu.h"

namespace device {

namespace {

// Menu handles carry a tag above any serial number, so a window handle or a command id passed for a
// menu is not mistaken for one.
constexpr uintptr_t kSerialMask = (uintptr_t{1} << 40) - 1;
constexpr uintptr_t kMenuTag = uintptr_t{0x4D} << 40;

uintptr_t SerialOf(HMENU menu)
{
    auto value = reinterpret_cast<uintptr_t>(menu);
    return (value & ~kSerialMask) == kMenuTag ? value & kSerialMask : 0;
}

} // namespace

MenuTable& MenuTable::Instance()
{
    static MenuTable* table = new MenuTable; // lives until exit, as the window table does
    return *table;
}

HMENU MenuTable::Add(bool popup)
{
    auto lock = Lock();
    uintptr_t serial = m_nextSerial++;
    auto menu = std::make_shared<Menu>();
    menu->popup = popup;
    m_menus.emplace(serial, std::move(menu));
    return reinterpret_cast<HMENU>(kMenuTag | serial);
}

std::shared_ptr<Menu> MenuTable::Find(HMENU menu)
{
    auto lock = Lock();
    auto it = m_menus.find(SerialOf(menu));
    return it == m_menus.end() ? nullptr : it->second;
}

bool MenuTable::Destroy(HMENU menu)
{
    auto lock = Lock();
    auto it = m_menus.find(SerialOf(menu));
    if (it == m_menus.end())
        return false;
    std::shared_ptr<Menu> gone = it->second;
    m_menus.erase(it);
    for (const MenuItem& item : gone->items)
        if (item.submenu)
            Destroy(item.submenu);
    return true;
}

MenuItemRef MenuTable::Locate(HMENU handle, UINT item, bool byPosition)
{
    auto menu = Find(handle);
    if (!menu)
        return {};
    if (byPosition)
        return item < menu->items.size() ? MenuItemRef{menu, item} : MenuItemRef{};
    for (size_t i = 0; i < menu->items.size(); ++i) {
        const MenuItem& candidate = menu->items[i];
        if (candidate.submenu) {
            if (MenuItemRef inner = Locate(candidate.submenu, item, false); inner.menu)
                return inner;
        } else if (candidate.id == item && !(candidate.type & MFT_SEPARATOR)) {
            return MenuItemRef{menu, i};
        }
    }
    return {};
}

} // namespace device
