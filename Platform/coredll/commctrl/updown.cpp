// Up-down control ("msctls_updown32"): a position in a range, stepped by its arrows or the arrow keys,
// shown in a buddy window. A list-box buddy makes the Smartphone spinner: stepping moves the list's
// selection, left and right for a horizontal control, whose up and down keys then move between the
// dialog's fields. Left out: acceleration over time (the first increment is always used) and the
// full-screen list of UDS_EXPANDABLE.
#include <windows.h>
#include <commctrl.h>

#include "commctrl/ControlSupport.h"
#include "commctrl/Controls.h"
#include "commctrl/Painting.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace {

struct UpDown {
    HWND hwnd = nullptr;
    HWND buddy = nullptr;
    int low = 100; // the documented default range runs from 100 down to 0
    int high = 0;
    int position = 0;
    int base = 10;
    std::vector<UDACCEL> accelerations{UDACCEL{0, 1}};
};

// --- The buddy: subclassed so that its arrow keys step the up-down control ---

struct BuddyLink {
    HWND upDown;
    WNDPROC previous;
};

std::mutex g_linksMutex;
std::map<HWND, BuddyLink> g_links;

LRESULT CALLBACK BuddyProcedure(HWND buddy, UINT msg, WPARAM wp, LPARAM lp);

BuddyLink LinkOf(HWND buddy)
{
    std::lock_guard lock(g_linksMutex);
    auto it = g_links.find(buddy);
    return it == g_links.end() ? BuddyLink{nullptr, nullptr} : it->second;
}

void Link(HWND buddy, HWND upDown)
{
    std::lock_guard lock(g_linksMutex);
    auto it = g_links.find(buddy);
    if (it != g_links.end()) {
        it->second.upDown = upDown;
        return;
    }
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(buddy, GWL_WNDPROC));
    g_links[buddy] = BuddyLink{upDown, previous};
    SetWindowLongPtrW(buddy, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(BuddyProcedure));
}

// Puts the buddy's own procedure back, unless someone subclassed it after us; then the link just
// stops stepping.
void Unlink(HWND buddy)
{
    std::lock_guard lock(g_linksMutex);
    auto it = g_links.find(buddy);
    if (it == g_links.end())
        return;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(buddy, GWL_WNDPROC)) == BuddyProcedure) {
        SetWindowLongPtrW(buddy, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.previous));
        g_links.erase(it);
    } else {
        it->second.upDown = nullptr;
    }
}

bool IsListBox(HWND hwnd)
{
    WCHAR name[16] = {};
    GetClassNameW(hwnd, name, 16);
    return device::FoldCase(name) == u"listbox";
}

// --- Position ---

int Minimum(const UpDown& control) { return std::min(control.low, control.high); }
int Maximum(const UpDown& control) { return std::max(control.low, control.high); }

std::u16string FormatPosition(const UpDown& control, int position)
{
    char digits[32];
    if (control.base == 16)
        snprintf(digits, sizeof digits, "0x%04X", static_cast<unsigned>(position));
    else
        snprintf(digits, sizeof digits, "%d", position);
    std::u16string text(digits, digits + strlen(digits));
    if (control.base == 10 && !(device::StyleOf(control.hwnd) & UDS_NOTHOUSANDS)) {
        WCHAR separator[8] = {};
        if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8) > 0) {
            size_t first = text[0] == u'-' ? 1 : 0;
            for (size_t at = text.size(); at > first + 3;) {
                at -= 3;
                text.insert(at, separator);
            }
        }
    }
    return text;
}

// The buddy shows the position: a list box by its selection, any other window by its text.
void ShowInBuddy(const UpDown& control)
{
    if (!control.buddy || !(device::StyleOf(control.hwnd) & UDS_SETBUDDYINT))
        return;
    if (IsListBox(control.buddy))
        SendMessageW(control.buddy, LB_SETCURSEL, static_cast<WPARAM>(control.position), 0);
    else
        SetWindowTextW(control.buddy, FormatPosition(control, control.position).c_str());
}

// Reads the buddy's number back; false when its text is not a number.
bool ReadBuddy(UpDown& control)
{
    if (!control.buddy || !(device::StyleOf(control.hwnd) & UDS_SETBUDDYINT))
        return true;
    if (IsListBox(control.buddy)) {
        auto selected = static_cast<int>(SendMessageW(control.buddy, LB_GETCURSEL, 0, 0));
        if (selected >= 0)
            control.position = selected;
        return selected >= 0;
    }
    std::u16string text = device::TextOf(control.buddy);
    std::string digits;
    for (char16_t ch : text)
        if (ch < 0x80 && ch != u',' && ch != u'.' && ch != u' ')
            digits += static_cast<char>(ch);
    if (digits.empty())
        return false;
    char* end = nullptr;
    long value = strtol(digits.c_str(), &end, control.base == 16 ? 16 : 10);
    if (*end != 0 || value < Minimum(control) || value > Maximum(control))
        return false;
    control.position = static_cast<int>(value);
    return true;
}

LRESULT SetPosition(UpDown& control, int position)
{
    int previous = control.position;
    control.position = std::clamp(position, Minimum(control), Maximum(control));
    ShowInBuddy(control);
    return previous;
}

// One step toward the maximum (+1) or the minimum (-1), as a tap on an arrow or an arrow key does.
void Step(UpDown& control, int direction)
{
    HWND hwnd = control.hwnd;
    int low = control.low, high = control.high;
    bool list = control.buddy && IsListBox(control.buddy);
    if (list) {
        low = 0;
        high = static_cast<int>(SendMessageW(control.buddy, LB_GETCOUNT, 0, 0)) - 1;
        if (high < 0)
            return;
    }
    // A list without a selection starts at its first row going right, at its last going left.
    if (!ReadBuddy(control) && list)
        control.position = direction > 0 ? low - 1 : high + 1;
    int increment = static_cast<int>(control.accelerations.empty() ? 1 : control.accelerations[0].nInc);
    int delta = (high >= low ? direction : -direction) * increment;
    int next = control.position + delta;
    int minimum = std::min(low, high), maximum = std::max(low, high);
    if (next > maximum || next < minimum) {
        if (!(device::StyleOf(hwnd) & UDS_WRAP))
            next = std::clamp(next, minimum, maximum);
        else
            next = next > maximum ? minimum : maximum;
    }
    if (next == control.position)
        return;
    NMUPDOWN change{};
    change.iPos = control.position;
    change.iDelta = next - control.position;
    if (device::NotifyParent(hwnd, change.hdr, UDN_DELTAPOS))
        return; // the parent refused the change
    UpDown* after = device::StateOf<UpDown>(hwnd);
    if (!after)
        return;
    after->position = next;
    if (list) {
        SendMessageW(after->buddy, LB_SETCURSEL, static_cast<WPARAM>(next), 0);
        if (device::StyleOf(after->buddy) & LBS_NOTIFY)
            device::NotifyCommand(after->buddy, LBN_SELCHANGE);
    } else {
        ShowInBuddy(*after);
    }
    UINT scroll = (device::StyleOf(hwnd) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
    HWND parent = GetParent(hwnd);
    SendMessageW(parent, scroll, MAKEWPARAM(SB_THUMBPOSITION, next), reinterpret_cast<LPARAM>(hwnd));
    SendMessageW(parent, scroll, MAKEWPARAM(SB_ENDSCROLL, next), reinterpret_cast<LPARAM>(hwnd));
}

// The arrow keys that step: left and right for a horizontal control, up and down otherwise.
int DirectionOfKey(HWND upDown, WPARAM vk)
{
    bool horizontal = (device::StyleOf(upDown) & UDS_HORZ) != 0;
    if (vk == (horizontal ? VK_RIGHT : VK_UP))
        return 1;
    if (vk == (horizontal ? VK_LEFT : VK_DOWN))
        return -1;
    return 0;
}

LRESULT CALLBACK BuddyProcedure(HWND buddy, UINT msg, WPARAM wp, LPARAM lp)
{
    BuddyLink link = LinkOf(buddy);
    if (msg == WM_KEYDOWN && link.upDown && (device::StyleOf(link.upDown) & UDS_ARROWKEYS)) {
        if (int direction = DirectionOfKey(link.upDown, wp)) {
            if (UpDown* control = device::StateOf<UpDown>(link.upDown))
                Step(*control, direction);
            return 0;
        }
    }
    // A spin box (a list with a horizontal control) spins with left and right and leaves up and down to the
    // dialog, which moves between the fields with them.
    if (msg == WM_GETDLGCODE && link.upDown && (device::StyleOf(link.upDown) & UDS_HORZ) && IsListBox(buddy)) {
        LRESULT code = CallWindowProcW(link.previous ? link.previous : DefWindowProcW, buddy, msg, wp, lp);
        auto key = reinterpret_cast<const MSG*>(lp);
        if (key && key->message == WM_KEYDOWN && (key->wParam == VK_UP || key->wParam == VK_DOWN))
            code &= ~DLGC_WANTARROWS;
        return code;
    }
    if (msg == WM_NCDESTROY) {
        if (UpDown* control = device::StateOf<UpDown>(link.upDown))
            control->buddy = nullptr;
        std::lock_guard lock(g_linksMutex);
        g_links.erase(buddy);
    }
    return CallWindowProcW(link.previous ? link.previous : DefWindowProcW, buddy, msg, wp, lp);
}

// Places the control against its buddy's edge for UDS_ALIGNRIGHT or UDS_ALIGNLEFT, narrowing the buddy.
void AlignWithBuddy(const UpDown& control)
{
    DWORD style = device::StyleOf(control.hwnd);
    if (!(style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT)))
        return;
    RECT buddy, own;
    GetWindowRect(control.buddy, &buddy);
    GetWindowRect(control.hwnd, &own);
    HWND parent = GetParent(control.hwnd);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&buddy), 2);
    int width = own.right > own.left ? own.right - own.left : GetSystemMetrics(SM_CXVSCROLL);
    int buddyWidth = std::max(0, static_cast<int>(buddy.right - buddy.left) - width);
    int height = buddy.bottom - buddy.top;
    if (style & UDS_ALIGNRIGHT) {
        SetWindowPos(control.buddy, nullptr, 0, 0, buddyWidth, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(control.hwnd, nullptr, buddy.left + buddyWidth, buddy.top, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        SetWindowPos(control.hwnd, nullptr, buddy.left, buddy.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(control.buddy, nullptr, buddy.left + width, buddy.top, buddyWidth, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT SetBuddy(UpDown& control, HWND buddy)
{
    HWND previous = control.buddy;
    if (previous)
        Unlink(previous);
    control.buddy = IsWindow(buddy) ? buddy : nullptr;
    if (control.buddy) {
        Link(control.buddy, control.hwnd);
        AlignWithBuddy(control);
        // A list keeps the row it shows; any other buddy is given the position to show.
        if (IsListBox(control.buddy))
            ReadBuddy(control);
        else
            ShowInBuddy(control);
    }
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT GetPosition16(UpDown& control)
{
    bool ok = ReadBuddy(control);
    return MAKELONG(static_cast<WORD>(control.position), ok ? 0 : 1);
}

LRESULT GetPosition32(UpDown& control, BOOL* error)
{
    bool ok = ReadBuddy(control);
    if (error)
        *error = !ok;
    return control.position;
}

LRESULT SetRange(UpDown& control, int low, int high)
{
    control.low = low;
    control.high = high;
    control.position = std::clamp(control.position, Minimum(control), Maximum(control));
    return 0;
}

LRESULT SetAccelerations(UpDown& control, WPARAM count, const UDACCEL* accelerations)
{
    if (!accelerations || count == 0)
        return FALSE;
    control.accelerations.assign(accelerations, accelerations + count);
    return TRUE;
}

LRESULT GetAccelerations(const UpDown& control, WPARAM count, UDACCEL* accelerations)
{
    if (accelerations)
        std::copy_n(control.accelerations.begin(), std::min<size_t>(count, control.accelerations.size()),
                    accelerations);
    return static_cast<LRESULT>(control.accelerations.size());
}

LRESULT SetBase(UpDown& control, WPARAM base)
{
    if (base != 10 && base != 16)
        return 0;
    int previous = control.base;
    control.base = static_cast<int>(base);
    ShowInBuddy(control);
    return previous;
}

// Two arrow buttons side by side (UDS_HORZ) or one above the other.
LRESULT Paint(const UpDown& control)
{
    device::PaintScope paint(control.hwnd);
    HDC dc = paint.Dc();
    RECT client = paint.Client();
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    bool horizontal = (device::StyleOf(control.hwnd) & UDS_HORZ) != 0;
    RECT first = client, second = client;
    if (horizontal)
        first.right = second.left = (client.left + client.right) / 2;
    else
        first.bottom = second.top = (client.top + client.bottom) / 2;
    for (int i = 0; i < 2; ++i) {
        const RECT& half = i == 0 ? first : second;
        device::Frame(dc, half, COLOR_BTNSHADOW);
        int cx = (half.left + half.right) / 2, cy = (half.top + half.bottom) / 2;
        int size = std::max(1, std::min<int>(half.right - half.left, half.bottom - half.top) / 4);
        // up (or left) first, then down (or right)
        int sign = i == 0 ? -1 : 1;
        if (horizontal) {
            MoveToEx(dc, cx - sign * size, cy - size, nullptr);
            LineTo(dc, cx + sign * size, cy);
            LineTo(dc, cx - sign * size, cy + size);
        } else {
            MoveToEx(dc, cx - size, cy - sign * size, nullptr);
            LineTo(dc, cx, cy + sign * size);
            LineTo(dc, cx + size, cy - sign * size);
        }
    }
    return 0;
}

// A tap on an arrow: the upper one (or the right one of a horizontal control) steps up.
LRESULT OnButtonDown(UpDown& control, LPARAM lp)
{
    RECT client;
    GetClientRect(control.hwnd, &client);
    int x = static_cast<SHORT>(LOWORD(lp)), y = static_cast<SHORT>(HIWORD(lp));
    bool horizontal = (device::StyleOf(control.hwnd) & UDS_HORZ) != 0;
    bool up = horizontal ? x >= (client.left + client.right) / 2 : y < (client.top + client.bottom) / 2;
    Step(control, up ? 1 : -1);
    return 0;
}

LRESULT OnCreate(UpDown& control)
{
    if (device::StyleOf(control.hwnd) & UDS_AUTOBUDDY)
        SetBuddy(control, GetWindow(control.hwnd, GW_HWNDPREV));
    return 0;
}

} // namespace

namespace device {

LRESULT CALLBACK UpDownProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        CreateState<UpDown>(hwnd);
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    UpDown* control = StateOf<UpDown>(hwnd);
    if (!control)
        return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_CREATE: return OnCreate(*control);
    case UDM_SETBUDDY: return SetBuddy(*control, reinterpret_cast<HWND>(wp));
    case UDM_GETBUDDY: return reinterpret_cast<LRESULT>(control->buddy);
    case UDM_SETRANGE: return SetRange(*control, static_cast<SHORT>(HIWORD(lp)), static_cast<SHORT>(LOWORD(lp)));
    case UDM_GETRANGE: return MAKELONG(static_cast<WORD>(control->high), static_cast<WORD>(control->low));
    case UDM_SETRANGE32: return SetRange(*control, static_cast<int>(wp), static_cast<int>(lp));
    case UDM_GETRANGE32:
        if (wp)
            *reinterpret_cast<int*>(wp) = control->low;
        if (lp)
            *reinterpret_cast<int*>(lp) = control->high;
        return 0;
    case UDM_SETPOS: return SetPosition(*control, static_cast<SHORT>(LOWORD(lp)));
    case UDM_GETPOS: return GetPosition16(*control);
    case UDM_SETPOS32: return SetPosition(*control, static_cast<int>(lp));
    case UDM_GETPOS32: return GetPosition32(*control, reinterpret_cast<BOOL*>(lp));
    case UDM_SETACCEL: return SetAccelerations(*control, wp, reinterpret_cast<const UDACCEL*>(lp));
    case UDM_GETACCEL: return GetAccelerations(*control, wp, reinterpret_cast<UDACCEL*>(lp));
    case UDM_SETBASE: return SetBase(*control, wp);
    case UDM_GETBASE: return control->base;
    case WM_KEYDOWN:
        if (int direction = DirectionOfKey(hwnd, wp))
            Step(*control, direction);
        return 0;
    case WM_PAINT: return Paint(*control);
    case WM_LBUTTONDOWN: return OnButtonDown(*control, lp);
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_DESTROY:
        if (control->buddy)
            Unlink(control->buddy);
        control->buddy = nullptr;
        return 0;
    case WM_NCDESTROY: DestroyState<UpDown>(hwnd); return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace device
