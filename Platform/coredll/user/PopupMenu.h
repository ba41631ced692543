// The popup menu open in this process (TrackPopupMenuEx), as the shell's menu bar and automation see
// and drive it. Nothing is drawn: the open menu is a state that callers read and answer.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace device {

struct OpenMenuItem {
    std::u16string text;
    UINT id = 0; // 0 for a separator or an item that opens a submenu
    bool enabled = true;
    bool checked = false;
    bool separator = false;
    bool opensSubmenu = false;
};

struct OpenMenu {
    HWND owner = nullptr;
    HMENU menu = nullptr;           // the innermost open level
    int depth = 1;                  // 1 for the popup itself, 2 and more for its open submenus
    int highlighted = -1;           // the item the up and down keys moved to
    std::vector<OpenMenuItem> items;
};

// The innermost open level of the popup menu being tracked, if one is.
std::optional<OpenMenu> CurrentPopupMenu();

// Chooses an item of the innermost open level by position: a command ends the tracking with it, an
// item with a submenu opens that (WM_INITMENUPOPUP first). False when no menu is open or the item is a
// separator, greyed or out of range. Callable from any thread.
bool ChoosePopupItem(int position);
// The same by command id.
bool ChoosePopupCommand(UINT id);

// Closes the innermost open level, as the Back key does; closing the popup itself ends the tracking
// with no command. False when no menu is open.
bool DismissPopupMenu();

} // namespace device
