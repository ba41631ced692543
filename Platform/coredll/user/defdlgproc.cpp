// The standard dialog class and DefDlgProc: the dialog procedure sees each message first; what it leaves
// (returns FALSE for) gets the dialog manager's default handling.
// Left out: painting the default push button's border when the default moves (DM_SETDEFID only records
// the id that Enter chooses).
#include <windows.h>

#include "user/Dialog.h"
#include "user/Window.h"

using device::DialogState;
using device::WindowTable;

namespace {

// Messages whose answer is the dialog procedure's return value itself rather than DWL_MSGRESULT.
bool AnswersDirectly(UINT msg)
{
    switch (msg) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG: return true;
    }
    return false;
}

// Deactivation remembers the focused control; activation gives it back.
void OnActivate(HWND hDlg, WPARAM state, DialogState* dialog)
{
    HWND focus = GetFocus();
    if (LOWORD(state) == WA_INACTIVE) {
        if (dialog && focus != hDlg && device::IsWithin(hDlg, focus))
            dialog->focus = focus;
        return;
    }
    if (dialog && dialog->focus && IsWindow(dialog->focus) && device::IsWithin(hDlg, dialog->focus))
        SetFocus(dialog->focus);
    else if (!device::IsWithin(hDlg, focus))
        SetFocus(hDlg);
}

void OnNextControl(HWND hDlg, WPARAM wParam, LPARAM lParam)
{
    HWND target;
    if (LOWORD(lParam))
        target = reinterpret_cast<HWND>(wParam);
    else
        target = GetNextDlgTabItem(hDlg, GetFocus(), wParam != 0);
    if (target && device::IsWithin(hDlg, target))
        device::FocusDialogControl(hDlg, target);
}

// The background is the brush the dialog asks for with WM_CTLCOLORDLG.
LRESULT EraseBackground(HWND hDlg, HDC hdc)
{
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(hDlg, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(hDlg)));
    if (!brush)
        return 0;
    RECT client;
    GetClientRect(hDlg, &client);
    return FillRect(hdc, &client, brush) ? 1 : 0;
}

LRESULT DefaultHandling(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto dialog = device::DialogStateOf(hDlg);
    switch (msg) {
    case WM_ACTIVATE: OnActivate(hDlg, wParam, dialog.get()); return 0;
    case WM_ERASEBKGND: return EraseBackground(hDlg, reinterpret_cast<HDC>(wParam));
    case WM_NEXTDLGCTL: OnNextControl(hDlg, wParam, lParam); return 0;
    case WM_CLOSE: {
        // Closing is cancelling, unless the dialog's Cancel button is greyed.
        HWND cancel = GetDlgItem(hDlg, IDCANCEL);
        if (!cancel || IsWindowEnabled(cancel))
            SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    case DM_GETDEFID:
        return dialog && dialog->defaultId ? MAKELRESULT(dialog->defaultId, DC_HASDEFID) : 0;
    case DM_SETDEFID:
        if (dialog)
            dialog->defaultId = static_cast<UINT>(wParam);
        return TRUE;
    case WM_NCDESTROY: device::ForgetDialog(hDlg); break;
    }
    return DefWindowProcW(hDlg, msg, wParam, lParam);
}

// The standard dialog class, by name and by its atom.
[[maybe_unused]] const bool g_classesRegistered = [] {
    WNDCLASSW wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DefDlgProcW;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = WC_DIALOG;
    WindowTable::Instance().RegisterClass(wc, true);
    wc.lpszClassName = u"#32770";
    WindowTable::Instance().RegisterClass(wc, true);
    return true;
}();

} // namespace

LRESULT WINAPI DefDlgProcW(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    auto window = WindowTable::Instance().Find(hDlg);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    DLGPROC proc = window->isDialog ? window->dlgProc : nullptr;
    if (Msg == WM_NCDESTROY) {
        // The dialog manager lets go of the dialog whatever its procedure answers.
        if (proc)
            proc(hDlg, Msg, wParam, lParam);
        return DefaultHandling(hDlg, Msg, wParam, lParam);
    }
    if (proc) {
        BOOL handled = proc(hDlg, Msg, wParam, lParam);
        if (handled) {
            if (AnswersDirectly(Msg))
                return handled;
            return GetWindowLongPtrW(hDlg, DWL_MSGRESULT);
        }
        if (!IsWindow(hDlg))
            return 0; // the dialog procedure destroyed its dialog
    }
    return DefaultHandling(hDlg, Msg, wParam, lParam);
}
