// Static control ("Static"): a text label aligned left, centred or right, or an icon or bitmap.
// Left out: the frame and rectangle styles, drawing bitmaps, and loading an icon named by the window text.
#include <windows.h>

#include "commctrl/ControlSupport.h"
#include "commctrl/Controls.h"
#include "commctrl/Painting.h"

namespace {

struct Static {
    HWND hwnd = nullptr;
    HANDLE image = nullptr; // an icon or bitmap shown instead of the text
    UINT imageType = IMAGE_ICON;
};

LRESULT SetImage(Static& control, UINT type, HANDLE image)
{
    if (type != IMAGE_ICON && type != IMAGE_BITMAP) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    HANDLE previous = control.imageType == type ? control.image : nullptr;
    control.image = image;
    control.imageType = type;
    InvalidateRect(control.hwnd, nullptr, TRUE);
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT GetImage(const Static& control, UINT type)
{
    return reinterpret_cast<LRESULT>(control.imageType == type ? control.image : nullptr);
}

// Static text takes no keys; with SS_NOTIFY a tap tells the parent.
LRESULT OnButtonDown(const Static& control, UINT msg)
{
    if (device::StyleOf(control.hwnd) & SS_NOTIFY)
        device::NotifyCommand(control.hwnd, msg == WM_LBUTTONDBLCLK ? STN_DBLCLK : STN_CLICKED);
    return 0;
}

// The text in the colours the parent chooses (WM_CTLCOLORSTATIC), or the icon at the top left.
LRESULT Paint(const Static& control)
{
    device::PaintScope paint(control.hwnd);
    HDC dc = paint.Dc();
    RECT client = paint.Client();
    device::PaintBackground(control.hwnd, dc, WM_CTLCOLORSTATIC, client);
    DWORD style = device::StyleOf(control.hwnd);
    if (control.image && control.imageType == IMAGE_ICON) {
        DrawIconEx(dc, 0, 0, static_cast<HICON>(control.image), 0, 0, 0, nullptr, DI_NORMAL);
        return 0;
    }
    UINT format = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: format |= DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: format |= DT_RIGHT | DT_WORDBREAK; break;
    case SS_LEFTNOWORDWRAP: format |= DT_LEFT; break;
    default: format |= DT_LEFT | DT_WORDBREAK; break;
    }
    std::u16string text = device::TextOf(control.hwnd);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, format);
    return 0;
}

} // namespace

namespace device {

LRESULT CALLBACK StaticProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        CreateState<Static>(hwnd);
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    Static* control = StateOf<Static>(hwnd);
    if (!control)
        return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
    case STM_SETIMAGE: return SetImage(*control, static_cast<UINT>(wp), reinterpret_cast<HANDLE>(lp));
    case STM_GETIMAGE: return GetImage(*control, static_cast<UINT>(wp));
    case STM_SETICON: return SetImage(*control, IMAGE_ICON, reinterpret_cast<HANDLE>(wp));
    case STM_GETICON: return GetImage(*control, IMAGE_ICON);
    case WM_PAINT: return Paint(*control);
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnButtonDown(*control, msg);
    case WM_ENABLE:
        if (StyleOf(hwnd) & SS_NOTIFY)
            NotifyCommand(hwnd, wp ? STN_ENABLE : STN_DISABLE);
        return 0;
    case WM_NCDESTROY:
        DestroyState<Static>(hwnd);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace device
