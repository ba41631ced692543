// The record of each soft-key bar, shared by the bar's window procedure, its key handling and the view
// automation reads. One lock guards every bar; it is never held while a window procedure runs.
#pragma once

#include <windows.h>

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace device::shell {

struct BarKey {
    std::u16string label;
    UINT command = 0;
    HMENU popup = nullptr; // the key opens this menu instead of sending its command
    bool enabled = true;
};

struct MenuBar {
    HWND bar = nullptr;
    HWND owner = nullptr;
    HMENU menu = nullptr; // the bar's menu resource, destroyed with the bar; null for an empty bar
    std::vector<BarKey> keys;
    std::map<UINT, WORD> overrides; // SHMBOF_ bits by virtual key
};

void AddMenuBar(const MenuBar& record);
void RemoveMenuBar(HWND bar);
std::optional<MenuBar> FindMenuBar(HWND bar); // a copy: the record may change once the lock is gone

// The soft keys of a menu resource's top-level items; none when it has more than two, which only a
// traditional menu bar could show.
std::optional<std::vector<BarKey>> SoftKeysOf(HMENU menu);

// What pressing and releasing a soft key or Back does on a bar (SHCMBM_OVERRIDEKEY decides).
void PressKey(HWND bar, UINT vk);
void ReleaseKey(HWND bar, UINT vk);

std::unique_lock<std::mutex> LockMenuBars();
MenuBar* FindLocked(HWND bar); // with the lock held

// Changes a bar's record under the lock; false when the window is no bar.
template <class Change> bool ChangeMenuBar(HWND bar, Change change)
{
    auto lock = LockMenuBars();
    MenuBar* record = FindLocked(bar);
    if (!record)
        return false;
    change(*record);
    return true;
}

} // namespace device::shell
