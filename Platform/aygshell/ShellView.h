// What the shell shows besides the windows themselves, for automation and tests: a window's soft keys with
// the popup menu one of them opened, and the OK button of a dialog's title area. Readable from any thread.
#pragma once

#include <windows.h>

#include "user/PopupMenu.h"

#include <optional>
#include <string>
#include <vector>

#define DEVICE_SHELL_API __attribute__((visibility("default")))

namespace device::shell {

struct SoftKey {
    std::u16string label;
    UINT command = 0;       // what a plain key sends as WM_COMMAND; a popup's item id otherwise
    bool enabled = true;
    bool opensMenu = false;
};

struct MenuBarView {
    HWND bar = nullptr;
    std::vector<SoftKey> keys;       // the left soft key, then the right; none for an empty bar
    std::optional<OpenMenu> popup;   // the menu open for the bar's window, if one is
};

// The menu bar of a window (SHCreateMenuBar's hwndParent); none when it has no bar.
DEVICE_SHELL_API std::optional<MenuBarView> MenuBarOf(HWND owner);

// Whether SHInitDialog put the OK button into the title area for this window.
DEVICE_SHELL_API bool HasDoneButton(HWND window);

} // namespace device::shell
