#include "ui/Layout.h"

#include "app/Program.h"

#include <aygshell.h>

namespace {

constexpr int kStretchMargin = 7;
constexpr LPARAM kBackKeyToOwner =
    MAKELPARAM(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, SHMBOF_NODEFAULT | SHMBOF_NOTIFY);

int ScreenDpi(int& cached, int index)
{
    if (!cached) {
        HDC screen = GetDC(nullptr);
        cached = screen ? GetDeviceCaps(screen, index) : 0;
        if (screen)
            ReleaseDC(nullptr, screen);
        if (cached <= 0)
            cached = 96; // a screen that can't say is taken as the standard one
    }
    return cached;
}

int Scale(int pixels, int dpi)
{
    return (pixels * dpi + 48) / 96;
}

// A control's rectangle in its dialog's client coordinates.
RECT ControlRect(HWND control)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void Place(HWND control, int x, int y, int width, int height)
{
    MoveWindow(control, x, y, width, height, TRUE);
}

} // namespace

int ScreenDpiX()
{
    return ScreenDpi(g_program.dpiX, LOGPIXELSX);
}

int ScreenDpiY()
{
    return ScreenDpi(g_program.dpiY, LOGPIXELSY);
}

int ScaleX(int pixels)
{
    return Scale(pixels, ScreenDpiX());
}

int ScaleY(int pixels)
{
    return Scale(pixels, ScreenDpiY());
}

int SeparatorThickness()
{
    return ScaleY(1);
}

HRESULT InitFullScreenDialog(HWND dialog)
{
    SHINITDLGINFO info{SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
    SHInitDialog(&info);
    return S_OK;
}

HRESULT CreateMenuBar(HWND owner, HINSTANCE resources, UINT menuId, HWND* menuBar, BOOL backOverride)
{
    if (!menuBar)
        return E_INVALIDARG;
    if (*menuBar) {
        DestroyWindow(*menuBar);
        *menuBar = nullptr;
    }
    SHMENUBARINFO info{};
    info.cbSize = sizeof info;
    info.hwndParent = owner;
    info.dwFlags = SHCMBF_HMENU;
    info.nToolBarId = menuId;
    info.hInstRes = resources;
    if (!SHCreateMenuBar(&info) || !info.hwndMB)
        return E_FAIL;
    *menuBar = info.hwndMB;
    if (backOverride)
        SendMessageW(info.hwndMB, SHCMBM_OVERRIDEKEY, VK_TBACK, kBackKeyToOwner);
    return S_OK;
}

void EnableSoftKey(HWND menuBar, UINT command, BOOL enable)
{
    SHEnableSoftkey(menuBar, command, FALSE, enable);
}

HRESULT SetControlsFont(HWND dialog, HFONT font, std::initializer_list<int> ids)
{
    if (!font)
        return E_FAIL;
    for (int id : ids)
        if (HWND control = GetDlgItem(dialog, id))
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return S_OK;
}

void StretchControls(HWND dialog, std::initializer_list<int> ids)
{
    RECT client{};
    GetClientRect(dialog, &client);
    int margin = ScaleX(kStretchMargin);
    for (int id : ids) {
        HWND control = GetDlgItem(dialog, id);
        if (!control)
            continue;
        RECT rect = ControlRect(control);
        Place(control, margin, rect.top, client.right - 2 * margin, rect.bottom - rect.top);
    }
}

void FitControl(HWND dialog, int id, int layout)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control)
        return;
    RECT client{};
    GetClientRect(dialog, &client);
    RECT rect = ControlRect(control);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    switch (layout) {
    case kLayoutLeft: Place(control, 0, 0, width, client.bottom); break;
    case kLayoutRight: Place(control, client.right - width, 0, width, client.bottom); break;
    case kLayoutTop: Place(control, 0, 0, client.right, height); break;
    case kLayoutBottom: Place(control, 0, client.bottom - height, client.right, height); break;
    default: Place(control, 0, 0, client.right, client.bottom); break;
    }
}

void AlignControls(HWND dialog, int edge, int referenceId, std::initializer_list<int> ids)
{
    HWND reference = GetDlgItem(dialog, referenceId);
    if (!reference)
        return;
    RECT target = ControlRect(reference);
    for (int id : ids) {
        HWND control = GetDlgItem(dialog, id);
        if (!control)
            continue;
        RECT rect = ControlRect(control);
        int width = rect.right - rect.left, height = rect.bottom - rect.top;
        switch (edge) {
        case kEdgeLeft: rect.left = target.left; break;
        case kEdgeRight: rect.left = target.right - width; break;
        case kEdgeTop: rect.top = target.top; break;
        case kEdgeBottom: rect.top = target.bottom - height; break;
        default: continue;
        }
        Place(control, rect.left, rect.top, width, height);
    }
}

void StretchToBottom(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control)
        return;
    RECT client{}, screen{};
    GetClientRect(dialog, &client);
    GetWindowRect(control, &screen);
    RECT rect = ControlRect(control);
    Place(control, rect.left, rect.top, rect.right - rect.left, client.bottom - rect.top - screen.left);
}
