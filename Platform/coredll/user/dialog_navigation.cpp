// Keyboard navigation in dialogs: tab stops, groups, and the keys IsDialogMessage turns into focus moves
// and commands. On a Smartphone, up and down move between tab stops, as its dialogs have no Tab key.
// Back arrives as Escape and becomes WM_COMMAND IDCANCEL: the device cancels a modal dialog on Back,
// and it is the dialog procedure that ends it (a menu bar that takes Back over sees the key first).
// Left out: mnemonics (the device's keypads have no Alt key) and controls nested in WS_EX_CONTROLPARENT
// children.
#include <windows.h>

#include "device/Database.h"
#include "device/Device.h"
#include "user/Dialog.h"
#include "user/Window.h"

#include <algorithm>
#include <vector>

using device::WindowTable;

namespace {

std::vector<HWND> ControlsOf(HWND dialog)
{
    auto& table = WindowTable::Instance();
    auto window = table.Find(dialog);
    if (!window)
        return {};
    auto lock = table.Lock();
    return window->children;
}

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)); }

bool CanTakeFocus(HWND hwnd)
{
    DWORD style = StyleOf(hwnd);
    return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

// The position of a control among the dialog's controls, or -1.
int IndexOf(const std::vector<HWND>& controls, HWND hwnd)
{
    for (size_t i = 0; i < controls.size(); ++i)
        if (controls[i] == hwnd)
            return static_cast<int>(i);
    return -1;
}

UINT DialogCode(HWND control, const MSG* msg)
{
    return static_cast<UINT>(SendMessageW(control, WM_GETDLGCODE, msg ? msg->wParam : 0,
                                          reinterpret_cast<LPARAM>(msg)));
}

void Command(HWND dialog, int id, HWND control)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

// Enter chooses the focused push button, else the default button (DM_GETDEFID), else IDOK.
void OnEnter(HWND dialog, HWND focus, UINT code)
{
    HWND button;
    int id;
    if (focus != dialog && (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
        button = focus;
        id = GetDlgCtrlID(focus);
    } else {
        LRESULT def = SendMessageW(dialog, DM_GETDEFID, 0, 0);
        id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
        button = GetDlgItem(dialog, id);
    }
    if (button && !IsWindowEnabled(button))
        return;
    Command(dialog, id, button);
}

// Escape (the Back key) cancels, unless the dialog's Cancel button is greyed.
void OnEscape(HWND dialog)
{
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    if (cancel && !IsWindowEnabled(cancel))
        return;
    Command(dialog, IDCANCEL, cancel);
}

void OnArrow(HWND dialog, HWND focus, WPARAM vk)
{
    bool backwards = vk == VK_UP || vk == VK_LEFT;
    if (device::OnSmartphone() && (vk == VK_UP || vk == VK_DOWN)) {
        SendMessageW(dialog, WM_NEXTDLGCTL, backwards, FALSE);
        return;
    }
    HWND next = GetNextDlgGroupItem(dialog, focus == dialog ? nullptr : focus, backwards);
    if (!next || next == focus)
        return;
    device::FocusDialogControl(dialog, next);
    // Moving onto a radio button selects it.
    if (DialogCode(next, nullptr) & DLGC_RADIOBUTTON)
        SendMessageW(next, BM_CLICK, 0, 0);
}

// True when the key was the dialog's to handle.
bool HandleKey(HWND dialog, HWND focus, WPARAM vk, UINT code)
{
    switch (vk) {
    case VK_TAB:
        if (code & DLGC_WANTTAB)
            return false;
        SendMessageW(dialog, WM_NEXTDLGCTL, GetKeyState(VK_SHIFT) < 0, FALSE);
        return true;
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
        if (code & DLGC_WANTARROWS)
            return false;
        OnArrow(dialog, focus, vk);
        return true;
    case VK_RETURN: OnEnter(dialog, focus, code); return true;
    case VK_ESCAPE: OnEscape(dialog); return true;
    }
    return false;
}

} // namespace

namespace device {

bool OnSmartphone()
{
    try {
        return CurrentProfile().platform == "SmartPhone";
    } catch (const DatabaseError&) {
        return true; // the default profile
    }
}

void FocusDialogControl(HWND dialog, HWND control)
{
    UINT code = DialogCode(control, nullptr);
    SetFocus(control);
    if (code & DLGC_HASSETSEL)
        SendMessageW(control, EM_SETSEL, 0, -1);
}

} // namespace device

HWND WINAPI GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious)
{
    if (!IsWindow(hDlg)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    std::vector<HWND> controls = ControlsOf(hDlg);
    int count = static_cast<int>(controls.size());
    int start = IndexOf(controls, hCtl);
    if (start < 0)
        start = bPrevious ? 0 : count - 1; // from nothing: the first (or last) tab stop
    int step = bPrevious ? -1 : 1;
    for (int n = 1; n <= count; ++n) {
        HWND candidate = controls[((start + step * n) % count + count) % count];
        if ((StyleOf(candidate) & WS_TABSTOP) && CanTakeFocus(candidate))
            return candidate;
    }
    return hCtl;
}

HWND WINAPI GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious)
{
    if (!IsWindow(hDlg)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    std::vector<HWND> controls = ControlsOf(hDlg);
    if (controls.empty())
        return nullptr;
    int at = std::max(IndexOf(controls, hCtl), 0);
    // A group runs from a control with WS_GROUP up to the next one.
    int first = at;
    while (first > 0 && !(StyleOf(controls[first]) & WS_GROUP))
        --first;
    int last = at;
    while (last + 1 < static_cast<int>(controls.size()) && !(StyleOf(controls[last + 1]) & WS_GROUP))
        ++last;
    int size = last - first + 1;
    int step = bPrevious ? -1 : 1;
    for (int n = 1; n <= size; ++n) {
        HWND candidate = controls[first + (((at - first) + step * n) % size + size) % size];
        if (CanTakeFocus(candidate))
            return candidate;
    }
    return hCtl;
}

BOOL WINAPI IsDialogMessageW(HWND hDlg, LPMSG lpMsg)
{
    if (!lpMsg || !IsWindow(hDlg) || !device::IsWithin(hDlg, lpMsg->hwnd))
        return FALSE;
    if (lpMsg->message == WM_KEYDOWN) {
        HWND focus = lpMsg->hwnd;
        UINT code = focus != hDlg ? DialogCode(focus, lpMsg) : 0;
        if (!(code & DLGC_WANTMESSAGE) && HandleKey(hDlg, focus, lpMsg->wParam, code))
            return TRUE;
    }
    TranslateMessage(lpMsg);
    DispatchMessageW(lpMsg);
    return TRUE;
}
