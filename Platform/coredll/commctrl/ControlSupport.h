// What every control needs: its private state record, its text, and the notifications to its parent.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "user/Window.h"

#include <string>

namespace device {

// A control keeps its state in the window record from WM_NCCREATE to WM_NCDESTROY.
template <class State>
State* StateOf(HWND hwnd)
{
    auto window = WindowTable::Instance().Find(hwnd);
    return window ? static_cast<State*>(window->controlState) : nullptr;
}

template <class State>
State* CreateState(HWND hwnd)
{
    auto window = WindowTable::Instance().Find(hwnd);
    if (!window)
        return nullptr;
    auto* state = new State{};
    state->hwnd = hwnd;
    window->controlState = state;
    return state;
}

template <class State>
void DestroyState(HWND hwnd)
{
    auto window = WindowTable::Instance().Find(hwnd);
    if (!window)
        return;
    delete static_cast<State*>(window->controlState);
    window->controlState = nullptr;
}

DWORD StyleOf(HWND hwnd);
void SetStyleBits(HWND hwnd, DWORD bits, bool on);

// The window's own text, which WM_GETTEXT answers and the screen snapshot shows.
std::u16string TextOf(HWND hwnd);
void StoreText(HWND hwnd, std::u16string text);

// WM_COMMAND to the parent with the control's id and a notification code.
void NotifyCommand(HWND control, WORD code);
// WM_NOTIFY to the parent; fills the header's sender fields and returns the parent's answer.
LRESULT NotifyParent(HWND control, NMHDR& header, UINT code);

// Copies text into a caller's buffer of `capacity` characters, always terminated; returns the count copied.
int CopyText(const std::u16string& text, LPWSTR buffer, int capacity);

// Compares two texts in the user's locale, as sorted lists order their rows: <0, 0 or >0.
int CompareTexts(std::u16string_view a, std::u16string_view b, bool ignoreCase);

// WM_GETDLGCODE's lParam is the action key (VK_RETURN) going down. On the phone that key acts on the
// focused control (toggles a check box, activates a list row) instead of pressing the dialog's default
// button, so those controls answer DLGC_WANTMESSAGE for it.
inline bool IsActionKey(LPARAM lp)
{
    auto msg = reinterpret_cast<const MSG*>(lp);
    return msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN;
}

} // namespace device
