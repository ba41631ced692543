#include "ui/WindowBase.h"

LRESULT WindowBase::OnMessage(HWND, UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    return 0;
}

LRESULT CALLBACK WindowBase::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    WindowBase* window;
    if (msg == WM_CREATE) {
        window = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
        if (window)
            window->m_hwnd = hwnd;
    } else {
        window = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    // Messages before WM_CREATE (WM_NCCREATE keeps the title) and those of a window without an object
    // get the system's handling.
    if (!window)
        return DefWindowProcW(hwnd, msg, wp, lp);
    BOOL handled = FALSE;
    LRESULT result = window->OnMessage(hwnd, msg, wp, lp, handled);
    return handled ? result : DefWindowProcW(hwnd, msg, wp, lp);
}
