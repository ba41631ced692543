// Button control ("Button"): push buttons, check boxes (two or three states), radio buttons and group
// boxes. A click (tap, BM_CLICK, the action key or space) reports BN_CLICKED to the parent; the
// automatic styles change their own check state first. Left out: owner-drawn buttons and images.
#include <windows.h>

#include "commctrl/ControlSupport.h"
#include "commctrl/Controls.h"
#include "commctrl/Painting.h"
#include "user/Screen.h"

#include <algorithm>
#include <vector>

namespace {

struct Button {
    HWND hwnd = nullptr;
    UINT check = BST_UNCHECKED;
    bool pushed = false;  // held down by a tap that has not been lifted yet
    bool focused = false;
};

DWORD Kind(const Button& button) { return device::StyleOf(button.hwnd) & BS_TYPEMASK; }

bool IsCheckBox(DWORD kind)
{
    return kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_3STATE || kind == BS_AUTO3STATE;
}
bool IsRadio(DWORD kind) { return kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON; }

LRESULT SetCheck(Button& button, WPARAM check)
{
    DWORD kind = Kind(button);
    if (!IsCheckBox(kind) && !IsRadio(kind))
        return 0;
    if (check == BST_INDETERMINATE && kind != BS_3STATE && kind != BS_AUTO3STATE)
        check = BST_CHECKED;
    if (button.check != check) {
        button.check = static_cast<UINT>(check);
        InvalidateRect(button.hwnd, nullptr, TRUE);
    }
    return 0;
}

// An automatic radio button clears the other automatic radio buttons of its group: the siblings from
// the one with WS_GROUP before it up to the next WS_GROUP.
void ClearGroup(HWND chosen)
{
    HWND parent = GetParent(chosen);
    if (!parent)
        return;
    std::vector<std::vector<HWND>> groups(1);
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((device::StyleOf(child) & WS_GROUP) && !groups.back().empty())
            groups.emplace_back();
        groups.back().push_back(child);
    }
    for (const auto& group : groups) {
        if (std::find(group.begin(), group.end(), chosen) == group.end())
            continue;
        for (HWND other : group) {
            if (other == chosen)
                continue;
            WCHAR name[8] = {};
            GetClassNameW(other, name, 8);
            if (device::FoldCase(name) == u"button" && (device::StyleOf(other) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
                SendMessageW(other, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
}

void Click(Button& button)
{
    if (!IsWindowEnabled(button.hwnd))
        return;
    HWND hwnd = button.hwnd;
    switch (Kind(button)) {
    case BS_AUTOCHECKBOX: SetCheck(button, button.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED); break;
    case BS_AUTO3STATE: SetCheck(button, (button.check + 1) % 3); break;
    case BS_AUTORADIOBUTTON:
        SetCheck(button, BST_CHECKED);
        ClearGroup(hwnd);
        break;
    }
    device::NotifyCommand(hwnd, BN_CLICKED);
}

// The action key (and space) presses the focused button, as a tap does.
LRESULT OnKeyDown(Button& button, WPARAM vk)
{
    if ((vk == VK_RETURN || vk == VK_SPACE) && Kind(button) != BS_GROUPBOX)
        Click(button);
    return 0;
}

LRESULT OnButtonDown(Button& button)
{
    if (Kind(button) == BS_GROUPBOX)
        return 0;
    SetFocus(button.hwnd);
    button.pushed = true;
    SetCapture(button.hwnd);
    InvalidateRect(button.hwnd, nullptr, TRUE);
    return 0;
}

// A tap counts when it is lifted inside the button.
LRESULT OnButtonUp(Button& button, LPARAM lp)
{
    if (!button.pushed)
        return 0;
    button.pushed = false;
    if (GetCapture() == button.hwnd)
        ReleaseCapture();
    InvalidateRect(button.hwnd, nullptr, TRUE);
    RECT client;
    GetClientRect(button.hwnd, &client);
    POINT point{static_cast<SHORT>(LOWORD(lp)), static_cast<SHORT>(HIWORD(lp))};
    if (PtInRect(&client, point))
        Click(button);
    return 0;
}

LRESULT GetState(const Button& button)
{
    return button.check | (button.pushed ? BST_PUSHED : 0) | (button.focused ? BST_FOCUS : 0);
}

LRESULT SetStyle(Button& button, WPARAM style, LPARAM redraw)
{
    DWORD current = device::StyleOf(button.hwnd);
    SetWindowLongW(button.hwnd, GWL_STYLE, static_cast<LONG>((current & 0xFFFF0000) | (style & 0xFFFF)));
    if (redraw)
        InvalidateRect(button.hwnd, nullptr, TRUE);
    return 0;
}

LRESULT DialogCode(const Button& button, LPARAM lp)
{
    switch (Kind(button)) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE: return DLGC_BUTTON | (device::IsActionKey(lp) ? DLGC_WANTMESSAGE : 0);
    case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_PUSHBUTTON: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BS_GROUPBOX: return DLGC_STATIC;
    default: return DLGC_BUTTON;
    }
}

LRESULT OnFocus(Button& button, bool gained)
{
    button.focused = gained;
    InvalidateRect(button.hwnd, nullptr, TRUE);
    if (device::StyleOf(button.hwnd) & BS_NOTIFY)
        device::NotifyCommand(button.hwnd, gained ? BN_SETFOCUS : BN_KILLFOCUS);
    return 0;
}

// A push button: its frame (doubled for the default button) and its centred caption.
void PaintPushButton(const Button& button, HDC dc, RECT client, const std::u16string& text)
{
    if (button.pushed || button.check) {
        RECT inside = client;
        FillRect(dc, &inside, GetSysColorBrush(COLOR_BTNSHADOW));
    }
    device::Frame(dc, client, COLOR_WINDOWFRAME);
    if (Kind(button) == BS_DEFPUSHBUTTON) {
        RECT inner = client;
        InflateRect(&inner, -1, -1);
        device::Frame(dc, inner, COLOR_WINDOWFRAME);
    }
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// A check box or radio button: the box beside the caption, with a tick or a dot when checked.
void PaintCheck(const Button& button, HDC dc, RECT client, const std::u16string& text)
{
    int size = std::min<int>(device::Scale(13), client.bottom - client.top);
    bool boxRight = (device::StyleOf(button.hwnd) & BS_LEFTTEXT) != 0;
    int top = (client.top + client.bottom - size) / 2;
    RECT box{boxRight ? client.right - size : client.left, top, 0, top + size};
    box.right = box.left + size;
    FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
    device::Frame(dc, box, COLOR_WINDOWFRAME);
    if (button.check != BST_UNCHECKED) {
        RECT mark = box;
        InflateRect(&mark, -size / 4, -size / 4);
        if (IsRadio(Kind(button)) || button.check == BST_INDETERMINATE) {
            FillRect(dc, &mark, GetSysColorBrush(button.check == BST_INDETERMINATE ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
        } else {
            MoveToEx(dc, mark.left, (mark.top + mark.bottom) / 2, nullptr);
            LineTo(dc, (mark.left + mark.right) / 2, mark.bottom);
            LineTo(dc, mark.right, mark.top - 1);
        }
    }
    RECT label = client;
    if (boxRight)
        label.right = box.left - device::Scale(4);
    else
        label.left = box.right + device::Scale(4);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

// A group box: its caption at the top left over a frame.
void PaintGroup(HDC dc, RECT client, const std::u16string& text)
{
    RECT frame = client;
    frame.top += device::Scale(7);
    device::Frame(dc, frame, COLOR_WINDOWFRAME);
    RECT caption = client;
    caption.left += device::Scale(6);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &caption, DT_LEFT | DT_TOP | DT_SINGLELINE);
}

// Push buttons take their colours from WM_CTLCOLORBTN, the others from WM_CTLCOLORSTATIC.
LRESULT Paint(const Button& button)
{
    device::PaintScope paint(button.hwnd);
    HDC dc = paint.Dc();
    RECT client = paint.Client();
    DWORD kind = Kind(button);
    bool push = kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON;
    device::PaintBackground(button.hwnd, dc, push ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC, client);
    std::u16string text = device::TextOf(button.hwnd);
    if (push)
        PaintPushButton(button, dc, client, text);
    else if (kind == BS_GROUPBOX)
        PaintGroup(dc, client, text);
    else if (IsCheckBox(kind) || IsRadio(kind))
        PaintCheck(button, dc, client, text);
    return 0;
}

} // namespace

namespace device {

LRESULT CALLBACK ButtonProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        CreateState<Button>(hwnd);
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    Button* button = StateOf<Button>(hwnd);
    if (!button)
        return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
    case BM_GETCHECK: return button->check;
    case BM_SETCHECK: return SetCheck(*button, wp);
    case BM_GETSTATE: return GetState(*button);
    case BM_SETSTATE:
        button->pushed = wp != 0;
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case BM_SETSTYLE: return SetStyle(*button, wp, lp);
    case BM_CLICK: Click(*button); return 0;
    case WM_KEYDOWN: return OnKeyDown(*button, wp);
    case WM_LBUTTONDOWN: return OnButtonDown(*button);
    case WM_LBUTTONUP: return OnButtonUp(*button, lp);
    case WM_PAINT: return Paint(*button);
    case WM_GETDLGCODE: return DialogCode(*button, lp);
    case WM_SETFOCUS: return OnFocus(*button, true);
    case WM_KILLFOCUS: return OnFocus(*button, false);
    case WM_NCDESTROY: DestroyState<Button>(hwnd); return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace device
