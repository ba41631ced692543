// Full-screen dialogs: SHInitDialog sizes a dialog (or any window) to the work area below the title bar,
// leaving the bottom to its menu bar unless told not to, and records the title area's OK button. The device
// shows no input panel (the phone's keys do the typing), so lowering it has nothing to do.
#include <aygshell.h>

#include "ShellView.h"

#include "user/Dialog.h"
#include "user/Screen.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

std::mutex g_mutex;
std::vector<HWND> g_doneButtons; // windows whose title area shows the OK button

void ShowDoneButton(HWND hwnd)
{
    std::lock_guard guard(g_mutex);
    std::erase_if(g_doneButtons, [](HWND shown) { return !IsWindow(shown); }); // handles are never reused
    g_doneButtons.push_back(hwnd);
}

void SizeToWorkArea(HWND hwnd, bool roomForMenuBar)
{
    RECT area = device::WorkArea();
    if (roomForMenuBar)
        area.bottom -= GetSystemMetrics(SM_CYMENU);
    SetWindowPos(hwnd, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

BOOL WINAPI SHInitDialog(PSHINITDLGINFO pshidi)
{
    if (!pshidi || !IsWindow(pshidi->hDlg)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD flags = (pshidi->dwMask & SHIDIM_FLAGS) ? pshidi->dwFlags : 0;
    if (flags & SHIDIF_FULLSCREENNOMENUBAR)
        SizeToWorkArea(pshidi->hDlg, false);
    else if (flags & (SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIZEDLG)) // with the input panel down they agree
        SizeToWorkArea(pshidi->hDlg, true);
    if ((flags & SHIDIF_DONEBUTTON) && !device::OnSmartphone()) // a Smartphone's title area has no OK button
        ShowDoneButton(pshidi->hDlg);
    if (flags & SHIDIF_EMPTYMENU) {
        SHMENUBARINFO bar{};
        bar.cbSize = sizeof bar;
        bar.hwndParent = pshidi->hDlg;
        bar.dwFlags = SHCMBF_EMPTYBAR;
        if (!SHCreateMenuBar(&bar))
            return FALSE;
    }
    return TRUE;
}

namespace device::shell {

bool HasDoneButton(HWND window)
{
    std::lock_guard guard(g_mutex);
    return IsWindow(window) && std::ranges::find(g_doneButtons, window) != g_doneButtons.end();
}

} // namespace device::shell
