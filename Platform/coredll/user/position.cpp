// Window placement, coordinates and the update region (kept as one rectangle per window).
#include <windows.h>

#include "user/MessageQueue.h"
#include "user/Window.h"

#include <algorithm>

using device::WindowTable;

namespace device {

void NotifyPlacement(HWND hwnd, const RECT& before, const RECT& after, bool force)
{
    bool resized = force || (before.right - before.left != after.right - after.left) ||
                   (before.bottom - before.top != after.bottom - after.top);
    bool moved = force || before.left != after.left || before.top != after.top;
    if (resized)
        SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(after.right - after.left, after.bottom - after.top));
    if (moved)
        SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(after.left, after.top));
}

} // namespace device

namespace {

// Screen position of a window's client area (windows have no frame of their own here: the shell draws
// titles and soft keys in windows of its own).
POINT ClientOrigin(HWND hwnd)
{
    RECT r = device::ScreenRect(hwnd);
    return POINT{r.left, r.top};
}

} // namespace

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect)
{
    auto window = WindowTable::Instance().Find(hWnd);
    if (!window || !lpRect) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *lpRect = RECT{0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect)
{
    if (!IsWindow(hWnd) || !lpRect) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *lpRect = device::ScreenRect(hWnd);
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags)
{
    auto& table = WindowTable::Instance();
    auto window = table.Find(hWnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    RECT before, after;
    {
        auto lock = table.Lock();
        before = after = window->rect;
        if (!(uFlags & SWP_NOMOVE))
            OffsetRect(&after, X - after.left, Y - after.top);
        if (!(uFlags & SWP_NOSIZE)) {
            after.right = after.left + std::max(cx, 0);
            after.bottom = after.top + std::max(cy, 0);
        }
        window->rect = after;
        if (!(uFlags & SWP_NOZORDER)) {
            if (hWndInsertAfter == HWND_TOPMOST)
                window->topmost = true, window->exStyle |= WS_EX_TOPMOST;
            else if (hWndInsertAfter == HWND_NOTOPMOST)
                window->topmost = false, window->exStyle &= ~WS_EX_TOPMOST;
            if (auto parent = table.Find(window->parent)) {
                auto& siblings = parent->children;
                std::erase(siblings, hWnd);
                if (hWndInsertAfter == HWND_BOTTOM)
                    siblings.push_back(hWnd);
                else
                    siblings.insert(siblings.begin(), hWnd);
            }
        }
    }
    device::NotifyPlacement(hWnd, before, after, false);
    if (uFlags & SWP_SHOWWINDOW)
        ShowWindow(hWnd, (uFlags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    else if (uFlags & SWP_HIDEWINDOW)
        ShowWindow(hWnd, SW_HIDE);
    else if (!(uFlags & SWP_NOACTIVATE) && !window->parent && !(uFlags & SWP_NOZORDER) && IsWindowVisible(hWnd))
        SetActiveWindow(hWnd);
    if (!(uFlags & SWP_NOREDRAW) && !EqualRect(&before, &after))
        InvalidateRect(hWnd, nullptr, TRUE);
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint)
{
    return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight,
                        SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW));
}

int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints)
{
    POINT from = hWndFrom ? ClientOrigin(hWndFrom) : POINT{0, 0};
    POINT to = hWndTo ? ClientOrigin(hWndTo) : POINT{0, 0};
    LONG dx = from.x - to.x, dy = from.y - to.y;
    for (UINT i = 0; i < cPoints; ++i) {
        lpPoints[i].x += dx;
        lpPoints[i].y += dy;
    }
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint)
{
    if (!IsWindow(hWnd) || !lpPoint)
        return FALSE;
    MapWindowPoints(nullptr, hWnd, lpPoint, 1);
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint)
{
    if (!IsWindow(hWnd) || !lpPoint)
        return FALSE;
    MapWindowPoints(hWnd, nullptr, lpPoint, 1);
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase)
{
    auto& table = WindowTable::Instance();
    auto window = table.Find(hWnd);
    if (!window)
        return FALSE;
    {
        auto lock = table.Lock();
        RECT client{0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
        RECT area = lpRect ? *lpRect : client;
        if (window->needsPaint)
            UnionRect(&window->updateRect, &window->updateRect, &area);
        else
            window->updateRect = area;
        window->needsPaint = true;
        window->needsErase = window->needsErase || bErase;
    }
    // A repaint of a window repaints its children too, as their pixels lie on top.
    std::vector<HWND> children;
    {
        auto lock = table.Lock();
        children = window->children;
    }
    if (!lpRect)
        for (HWND child : children)
            InvalidateRect(child, nullptr, bErase);
    device::WakeQueueOf(hWnd);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect)
{
    auto& table = WindowTable::Instance();
    auto window = table.Find(hWnd);
    if (!window)
        return FALSE;
    auto lock = table.Lock();
    window->needsPaint = false;
    window->needsErase = false;
    window->updateRect = RECT{};
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase)
{
    auto window = WindowTable::Instance().Find(hWnd);
    if (!window)
        return FALSE;
    if (lpRect)
        *lpRect = window->needsPaint ? window->updateRect : RECT{};
    return window->needsPaint;
}

BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom)
{
    if (!lprc)
        return FALSE;
    *lprc = RECT{xLeft, yTop, xRight, yBottom};
    return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT lprc) { return SetRect(lprc, 0, 0, 0, 0); }

BOOL WINAPI CopyRect(LPRECT lprcDst, const RECT* lprcSrc)
{
    if (!lprcDst || !lprcSrc)
        return FALSE;
    *lprcDst = *lprcSrc;
    return TRUE;
}

BOOL WINAPI InflateRect(LPRECT lprc, int dx, int dy)
{
    if (!lprc)
        return FALSE;
    lprc->left -= dx;
    lprc->right += dx;
    lprc->top -= dy;
    lprc->bottom += dy;
    return TRUE;
}

BOOL WINAPI OffsetRect(LPRECT lprc, int dx, int dy)
{
    if (!lprc)
        return FALSE;
    lprc->left += dx;
    lprc->right += dx;
    lprc->top += dy;
    lprc->bottom += dy;
    return TRUE;
}

BOOL WINAPI IsRectEmpty(const RECT* lprc) { return !lprc || lprc->right <= lprc->left || lprc->bottom <= lprc->top; }

BOOL WINAPI PtInRect(const RECT* lprc, POINT pt)
{
    return lprc && pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top && pt.y < lprc->bottom;
}

BOOL WINAPI IntersectRect(LPRECT lprcDst, const RECT* a, const RECT* b)
{
    if (!lprcDst || !a || !b)
        return FALSE;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(&r)) {
        SetRectEmpty(lprcDst);
        return FALSE;
    }
    *lprcDst = r;
    return TRUE;
}

BOOL WINAPI UnionRect(LPRECT lprcDst, const RECT* a, const RECT* b)
{
    if (!lprcDst || !a || !b)
        return FALSE;
    if (IsRectEmpty(a))
        *lprcDst = *b;
    else if (IsRectEmpty(b))
        *lprcDst = *a;
    else
        *lprcDst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                        std::max(a->bottom, b->bottom)};
    return !IsRectEmpty(lprcDst);
}

BOOL WINAPI EqualRect(const RECT* a, const RECT* b)
{
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}
