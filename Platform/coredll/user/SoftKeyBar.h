// Soft-key bars as the window manager routes keys to them. The shell's bar belongs to a window; while that
// window or one of its controls has the keyboard, the phone's soft keys and Back go to the bar, which acts
// on them or hands them to its window, as on the device, where the focused control never sees them first.
#pragma once

#include <windows.h>

namespace device {

// bar null: the window has no bar any more.
void SetSoftKeyBar(HWND owner, HWND bar);
HWND SoftKeyBarOf(HWND owner);

// A key message of a soft key or Back, taken from a queue for a window that has a bar (or whose parent
// has one), is redirected to that bar.
void RouteToSoftKeyBar(MSG& msg);

} // namespace device
