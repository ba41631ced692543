// Activation and setting changes as the shell helps a window through them, and the Back key handed on to
// the focused control. The device shows no input panel (the phone's keys do the typing), so the panel
// state these functions keep is always "down" and no window is ever resized for it.
#include <aygshell.h>

#include "user/Dialog.h"

namespace {

// Programs written for the device store its 32-bit size (12); programs built here store this host's.
bool IsActivateInfo(const SHACTIVATEINFO* info)
{
    constexpr DWORD kDeviceSize = 12;
    return info && (info->cbSize == sizeof(SHACTIVATEINFO) || info->cbSize == kDeviceSize);
}

} // namespace

// Losing activation remembers which control had the focus; regaining it gives the focus back to it.
BOOL WINAPI SHHandleWMActivate(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* psai, DWORD dwFlags)
{
    if (!IsWindow(hwnd) || !IsActivateInfo(psai)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        psai->hwndLastFocus = focus && device::IsWithin(hwnd, focus) ? focus : nullptr;
        psai->fSipOnDeactivation = 0; // the panel is down
        psai->fActive = 0;
        return TRUE;
    }
    psai->fActive = 1;
    psai->fSipUp = 0;
    if (psai->hwndLastFocus && IsWindow(psai->hwndLastFocus) && device::IsWithin(hwnd, psai->hwndLastFocus))
        SetFocus(psai->hwndLastFocus);
    return TRUE;
}

// The window would follow the input panel, which this device never raises (and a Smartphone's shell does
// nothing here at all).
BOOL WINAPI SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* psai)
{
    if (!IsWindow(hwnd) || !IsActivateInfo(psai)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

// A window that has the focus itself (a dialog without controls) and hands Back on from its WM_HOTKEY gets
// it once: handing it on again from there would never end.
void WINAPI SHSendBackToFocusWindow(UINT uMsg, WPARAM wp, LPARAM lp)
{
    thread_local bool t_handingOn = false;
    HWND focus = GetFocus();
    if (!focus || t_handingOn)
        return;
    t_handingOn = true;
    SendMessageW(focus, uMsg, wp, lp);
    t_handingOn = false;
}
