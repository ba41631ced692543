// Keyboard focus and activation. One focus and one active window per process: the device's threads
// share one input state.
#include <windows.h>

#include "user/Window.h"

#include <atomic>

using device::WindowTable;

namespace {

std::atomic<HWND> g_focus{nullptr};
std::atomic<HWND> g_active{nullptr};
std::atomic<HWND> g_capture{nullptr};

HWND TopLevelOf(HWND hwnd)
{
    auto& table = WindowTable::Instance();
    for (;;) {
        auto window = table.Find(hwnd);
        if (!window || !window->parent)
            return window ? hwnd : nullptr;
        hwnd = window->parent;
    }
}

} // namespace

HWND WINAPI GetFocus(void)
{
    HWND focus = g_focus.load();
    return IsWindow(focus) ? focus : nullptr;
}

HWND WINAPI SetFocus(HWND hWnd)
{
    HWND old = GetFocus();
    if (hWnd && !IsWindow(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (hWnd == old)
        return old;
    // Focusing a control of an inactive window activates that window first; the activation may move
    // the focus itself (a dialog gives it back to its last control).
    HWND losing = old;
    if (hWnd) {
        HWND top = TopLevelOf(hWnd);
        if (top != GetActiveWindow()) {
            SetActiveWindow(top);
            losing = GetFocus();
            if (losing == hWnd)
                return old;
        }
    }
    g_focus = hWnd;
    if (losing)
        SendMessageW(losing, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
    if (hWnd && g_focus.load() == hWnd)
        SendMessageW(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(losing), 0);
    return old;
}

HWND WINAPI GetActiveWindow(void)
{
    HWND active = g_active.load();
    return IsWindow(active) ? active : nullptr;
}

HWND WINAPI SetActiveWindow(HWND hWnd)
{
    HWND old = GetActiveWindow();
    if (hWnd) {
        hWnd = TopLevelOf(hWnd);
        if (!hWnd) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        WindowTable::Instance().Activate(hWnd);
    }
    if (hWnd == old)
        return old;
    g_active = hWnd;
    if (old)
        SendMessageW(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hWnd));
    if (hWnd)
        SendMessageW(hWnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
    return old;
}

HWND WINAPI GetForegroundWindow(void) { return GetActiveWindow(); }

BOOL WINAPI SetForegroundWindow(HWND hWnd)
{
    if (!IsWindow(hWnd))
        return FALSE;
    SetActiveWindow(hWnd);
    return TRUE;
}

HWND WINAPI GetCapture(void) { return g_capture.load(); }

HWND WINAPI SetCapture(HWND hWnd) { return g_capture.exchange(hWnd); }

BOOL WINAPI ReleaseCapture(void)
{
    g_capture = nullptr;
    return TRUE;
}
