// Menus of this process: items with their text, command id, type and state, and submenus, found by
// handle. One lock guards every menu; it is never held while a window procedure runs.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace device {

struct MenuItem {
    UINT type = MFT_STRING; // MFT_ bits
    UINT state = 0;         // MFS_ bits
    UINT id = 0;
    HMENU submenu = nullptr;
    std::u16string text;
    ULONG_PTR data = 0;
};

struct Menu {
    bool popup = false;
    std::vector<MenuItem> items;
};

// Where an item lives: the menu that holds it (perhaps a submenu of the one asked) and its position.
struct MenuItemRef {
    std::shared_ptr<Menu> menu;
    size_t position = 0;
    MenuItem& Item() const { return menu->items[position]; }
};

class MenuTable {
public:
    static MenuTable& Instance();

    std::unique_lock<std::recursive_mutex> Lock() { return std::unique_lock(m_mutex); }

    HMENU Add(bool popup);
    std::shared_ptr<Menu> Find(HMENU menu);
    // Destroys a menu and, with it, its submenus.
    bool Destroy(HMENU menu);

    // An item by position, or by command id searched depth first through the submenus (MF_BYCOMMAND);
    // no menu when there is none. Call with the lock held.
    MenuItemRef Locate(HMENU menu, UINT item, bool byPosition);

private:
    std::recursive_mutex m_mutex;
    std::unordered_map<uintptr_t, std::shared_ptr<Menu>> m_menus;
    uintptr_t m_nextSerial = 1;
};

// Builds a menu from a MENU or MENUEX resource; null for a malformed one. `size` bounds the read
// (SIZE_MAX when unknown).
HMENU MenuFromTemplate(const void* data, size_t size);

} // namespace device
