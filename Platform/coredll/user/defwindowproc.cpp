// The default handling of window messages.
#include <windows.h>

#include "user/Window.h"

#include <algorithm>

using device::WindowTable;

namespace {

LRESULT CopyText(HWND hwnd, WPARAM capacity, LPWSTR buffer)
{
    auto window = WindowTable::Instance().Find(hwnd);
    if (!window || !buffer || capacity == 0)
        return 0;
    auto lock = WindowTable::Instance().Lock();
    size_t count = std::min<size_t>(window->text.size(), capacity - 1);
    std::copy_n(window->text.begin(), count, buffer);
    buffer[count] = 0;
    return static_cast<LRESULT>(count);
}

void StoreText(HWND hwnd, LPCWSTR text)
{
    auto window = WindowTable::Instance().Find(hwnd);
    if (!window)
        return;
    auto lock = WindowTable::Instance().Lock();
    window->text = text ? std::u16string(text) : std::u16string();
}

// A class background may be a system colour given as its index plus one, as WNDCLASS documents
// ((HBRUSH)(COLOR_WINDOW + 1)); anything else is a brush.
HBRUSH ClassBackground(HBRUSH background)
{
    auto value = reinterpret_cast<uintptr_t>(background);
    uintptr_t index = value & ~uintptr_t{SYS_COLOR_INDEX_FLAG};
    bool colourValue = (value == index || (value & SYS_COLOR_INDEX_FLAG)) && index >= 1 &&
                       index <= (COLOR_STATICTEXT & ~SYS_COLOR_INDEX_FLAG) + 1u;
    return colourValue ? GetSysColorBrush(static_cast<int>(index - 1)) : background;
}

// Fills the client area with the class background brush; the painting context keeps it to the update
// rectangle. Without a brush nothing is erased and the caller learns so.
LRESULT EraseBackground(HWND hwnd, HDC hdc)
{
    auto window = WindowTable::Instance().Find(hwnd);
    if (!window || !window->cls || !window->cls->info.hbrBackground)
        return 0;
    RECT client;
    GetClientRect(hwnd, &client);
    return FillRect(hdc, &client, ClassBackground(window->cls->info.hbrBackground)) ? 1 : 0;
}

} // namespace

LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    switch (Msg) {
    case WM_NCCREATE: {
        auto cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        StoreText(hWnd, cs ? cs->lpszName : nullptr);
        return TRUE;
    }
    case WM_SETTEXT:
        StoreText(hWnd, reinterpret_cast<LPCWSTR>(lParam));
        InvalidateRect(hWnd, nullptr, TRUE);
        return TRUE;
    case WM_GETTEXT: return CopyText(hWnd, wParam, reinterpret_cast<LPWSTR>(lParam));
    case WM_GETTEXTLENGTH: {
        auto window = WindowTable::Instance().Find(hWnd);
        return window ? static_cast<LRESULT>(window->text.size()) : 0;
    }
    case WM_CLOSE: DestroyWindow(hWnd); return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (BeginPaint(hWnd, &ps))
            EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: return EraseBackground(hWnd, reinterpret_cast<HDC>(wParam));
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            SetFocus(hWnd);
        return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    case WM_SETFONT: {
        auto window = WindowTable::Instance().Find(hWnd);
        if (window)
            window->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    }
    case WM_GETFONT: {
        auto window = WindowTable::Instance().Find(hWnd);
        return window ? reinterpret_cast<LRESULT>(window->font) : 0;
    }
    }
    return 0;
}
