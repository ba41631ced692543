// What the application's screens share: their texts, soft-key bars, full-screen layout and message boxes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace messaging {

// Pixels kept clear between the controls and the screen's edges.
constexpr int kScreenMargin = 3;

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

// The items one after the other, separated by commas.
std::u16string Listed(const std::vector<std::u16string>& items);

// A time as the device's locale shows it: date and time, local.
std::u16string LocalTimeText(const FILETIME& utc);

// The control to the client's width less a margin, keeping its left edge, top and height.
void StretchToWidth(HWND dialog, int id);

// A screen of the application: a dialog of the program's resources run modally, with the object behind it.
class Screen {
public:
    virtual ~Screen() = default;

protected:
    // IDOK or IDCANCEL as the screen ended; -1 when it could not show.
    INT_PTR RunScreen(UINT templateId, HWND owner);
    // Full screen above the soft keys of that menu, which go with the screen; false when they can't be made.
    bool SetUp(UINT menuId, bool backToOwner);
    virtual BOOL OnMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;

    HWND m_hwnd = nullptr;

private:
    static BOOL CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    HWND m_softKeys = nullptr;
};

} // namespace messaging
