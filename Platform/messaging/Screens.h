// What the application's screens share: their texts, soft-key bars, full-screen layout and message boxes.
#pragma once

#include <windows.h>

#include <string>

namespace messaging {

// A text of the program's resources; empty when there is none.
std::u16string LoadText(UINT id);
// The text with "%s" and "%d" filled in by wsprintfW.
std::u16string FormatText(UINT id, ...);

// Sizes the window to the screen above its soft keys.
void MakeFullScreen(HWND window);
// The soft-key bar of a menu resource; with backToOwner the Back key comes to the owner as WM_HOTKEY
// instead of its default action. Null when it can't be made.
HWND CreateSoftKeys(HWND owner, UINT menuId, bool backToOwner);

// A message box over the screen, captioned with the application's name.
void Tell(HWND owner, const std::u16string& text);

// A time as the device's locale shows it: date and time, local.
std::u16string LocalTimeText(const FILETIME& utc);

// The control to the client's width less a margin, keeping its left edge, top and height.
void StretchToWidth(HWND dialog, int id);

} // namespace messaging
