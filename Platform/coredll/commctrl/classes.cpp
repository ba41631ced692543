// Registration of the control classes: the standard controls with the window table, the common
// controls by InitCommonControls and InitCommonControlsEx.
#include <windows.h>
#include <commctrl.h>

#include "commctrl/Controls.h"
#include "user/Window.h"

namespace {

struct ControlClass {
    DWORD set; // the ICC_ class set that brings it; 0 for the standard controls
    LPCWSTR name;
    WNDPROC procedure;
    int background; // system colour of the class brush
};

const ControlClass kClasses[] = {
    {0, TEXT("Static"), device::StaticProcedure, COLOR_STATIC},
    {0, TEXT("Edit"), device::EditProcedure, COLOR_WINDOW},
    {0, TEXT("Button"), device::ButtonProcedure, COLOR_BTNFACE},
    {0, TEXT("ListBox"), device::ListBoxProcedure, COLOR_WINDOW},
    {ICC_LISTVIEW_CLASSES, WC_LISTVIEW, device::ListViewProcedure, COLOR_WINDOW},
    {ICC_DATE_CLASSES, DATETIMEPICK_CLASS, device::DateTimePickerProcedure, COLOR_WINDOW},
    {ICC_UPDOWN_CLASS, UPDOWN_CLASS, device::UpDownProcedure, COLOR_BTNFACE},
    {ICC_PROGRESS_CLASS, PROGRESS_CLASS, device::ProgressProcedure, COLOR_BTNFACE},
    {ICC_CAPEDIT_CLASS, WC_CAPEDIT, device::EditProcedure, COLOR_WINDOW},
};

// Class sets the device names but does not carry: asking for them fails.
constexpr DWORD kMissingSets = ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_ANIMATE_CLASS |
                               ICC_COOL_CLASSES | ICC_TOOLTIP_CLASSES;
constexpr DWORD kCarriedSets =
    ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS | ICC_CAPEDIT_CLASS;

void Register(device::WindowTable& table, const ControlClass& control)
{
    WNDCLASSW info{};
    info.style = CS_GLOBALCLASS | CS_DBLCLKS;
    info.lpfnWndProc = control.procedure;
    info.hbrBackground = GetSysColorBrush(control.background);
    info.lpszClassName = control.name;
    table.RegisterClass(info, true); // a second registration finds the class there and changes nothing
}

void RegisterSets(DWORD sets)
{
    auto& table = device::WindowTable::Instance();
    for (const ControlClass& control : kClasses)
        if (control.set & sets)
            Register(table, control);
}

} // namespace

namespace device {

void RegisterStandardControls(WindowTable& table)
{
    for (const ControlClass& control : kClasses)
        if (control.set == 0)
            Register(table, control);
}

} // namespace device

void WINAPI InitCommonControls(void) { RegisterSets(kCarriedSets); }

// Registers every carried class set that is asked for (calls add up). A record of the wrong size, or
// a set this device does not carry, makes the call fail; the carried sets asked for are registered
// all the same.
BOOL WINAPI InitCommonControlsEx(LPINITCOMMONCONTROLSEX lpInitCtrls)
{
    if (!lpInitCtrls || lpInitCtrls->dwSize != sizeof(INITCOMMONCONTROLSEX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RegisterSets(lpInitCtrls->dwICC & kCarriedSets);
    if (lpInitCtrls->dwICC & ~kCarriedSets) {
        SetLastError((lpInitCtrls->dwICC & kMissingSets) ? ERROR_NOT_SUPPORTED : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}
