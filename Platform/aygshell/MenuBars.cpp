// The table of soft-key bars, the soft keys a menu resource gives, and the view automation reads.
#include "device/ShellHooks.h"
#include "MenuBar.h"
#include "ShellView.h"

#include "user/SoftKeyBar.h"

namespace device::shell {

namespace {

std::mutex g_mutex;
std::map<HWND, MenuBar> g_bars;

// Menu texts mark a mnemonic with '&' ("&&" for the character itself); a soft key shows the plain text.
std::u16string Label(const std::u16string& text)
{
    std::u16string label;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        label.push_back(text[i]);
    }
    return label;
}

} // namespace

std::unique_lock<std::mutex> LockMenuBars() { return std::unique_lock(g_mutex); }

MenuBar* FindLocked(HWND bar)
{
    auto found = g_bars.find(bar);
    return found == g_bars.end() ? nullptr : &found->second;
}

void AddMenuBar(const MenuBar& record)
{
    auto lock = LockMenuBars();
    g_bars[record.bar] = record;
}

void RemoveMenuBar(HWND bar)
{
    auto lock = LockMenuBars();
    g_bars.erase(bar);
}

std::optional<MenuBar> FindMenuBar(HWND bar)
{
    auto lock = LockMenuBars();
    MenuBar* record = FindLocked(bar);
    return record ? std::optional(*record) : std::nullopt;
}

std::optional<std::vector<BarKey>> SoftKeysOf(HMENU menu)
{
    int count = GetMenuItemCount(menu);
    if (count < 0 || count > 2)
        return std::nullopt;
    std::vector<BarKey> keys;
    for (int i = 0; i < count; ++i) {
        WCHAR text[128] = {};
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STATE | MIIM_TYPE;
        item.dwTypeData = text;
        item.cch = sizeof text / sizeof text[0];
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item))
            return std::nullopt;
        BarKey key;
        key.label = Label(text);
        key.command = item.wID;
        key.popup = item.hSubMenu;
        key.enabled = !(item.fState & (MFS_GRAYED | MFS_DISABLED));
        keys.push_back(std::move(key));
    }
    return keys;
}

std::optional<MenuBarView> MenuBarOf(HWND owner)
{
    HWND bar = SoftKeyBarOf(owner);
    std::optional<MenuBar> record = bar ? FindMenuBar(bar) : std::nullopt;
    if (!record)
        return std::nullopt;
    MenuBarView view;
    view.bar = bar;
    for (const BarKey& key : record->keys)
        view.keys.push_back(SoftKey{key.label, key.command, key.enabled, key.popup != nullptr});
    if (std::optional<OpenMenu> open = CurrentPopupMenu(); open && open->owner == owner)
        view.popup = std::move(open);
    return view;
}

} // namespace device::shell

namespace {

// Automation in coredll reads the soft keys through this, so it needs no link to the shell.
std::optional<device::ShellView> ProvideShellView(HWND owner)
{
    auto bar = device::shell::MenuBarOf(owner);
    bool done = device::shell::HasDoneButton(owner);
    if (!bar && !done)
        return std::nullopt;
    device::ShellView view;
    view.doneButton = done;
    if (bar)
        for (const auto& key : bar->keys)
            view.softKeys.push_back(device::SoftKeyView{key.label, key.enabled, key.opensMenu});
    return view;
}

[[maybe_unused]] const bool g_viewProvided = (device::SetShellViewProvider(&ProvideShellView), true);

} // namespace
