#include "stats/PeriodDialog.h"

#include "app/MainWindow.h"
#include "app/Program.h"
#include "stats/StatsText.h"
#include "ui/Layout.h"

#include "ids.h"

#include <commctrl.h>

namespace {

// The days a date of the program can hold on the device.
constexpr SYSTEMTIME kDateRange[2] = {{1753, 1, 1, 1, 0, 0, 0, 0}, {2078, 12, 6, 31, 23, 59, 59, 0}};

// The picker's day at that time of day; invalid when the picker has no date.
DateTime PickedDay(HWND dialog, int picker, int hour, int minute, int second)
{
    SYSTEMTIME day{};
    DateTime result;
    if (DateTime_GetSystemtime(GetDlgItem(dialog, picker), &day) != GDT_VALID ||
        result.FromParts(day.wYear, day.wMonth, day.wDay, hour, minute, second) != DateTimeValid)
        result.SetValue(0, DateTimeInvalid);
    return result;
}

bool ShowDay(HWND dialog, int picker, const DateTime& day)
{
    SYSTEMTIME time;
    return day.ToSystemTime(&time) && DateTime_SetSystemtime(GetDlgItem(dialog, picker), GDT_VALID, &time);
}

} // namespace

LRESULT PeriodDialog::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled)
{
    handled = TRUE;
    switch (msg) {
    case WM_INITDIALOG:
        if (FAILED(OnInitDialog()))
            EndDialog(m_hwnd, IDCANCEL);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK:
            if (OnDone())
                EndDialog(m_hwnd, IDOK);
            return 0;
        case IDCANCEL: EndDialog(m_hwnd, IDCANCEL); return 0;
        }
        break;
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lp)->idFrom == IDC_FIRST_DAY) {
            KeepLastDayAfterFirst();
            return 0;
        }
        break;
    case WM_SIZE:
        StretchControls(m_hwnd, {IDC_FIRST_DAY_LABEL, IDC_FIRST_DAY, IDC_LAST_DAY_LABEL, IDC_LAST_DAY});
        return 0;
    }
    handled = FALSE;
    return 0;
}

HRESULT PeriodDialog::OnInitDialog()
{
    InitFullScreenDialog(m_hwnd);
    if (FAILED(CreateMenuBar(m_hwnd, g_program.resources, IDM_DONE_CANCEL, &m_menuBar, FALSE)))
        return E_FAIL;
    SetControlsFont(m_hwnd, g_mainWindow.GetSettings().BoldFont(), {IDC_FIRST_DAY_LABEL, IDC_LAST_DAY_LABEL});
    for (int picker : {IDC_FIRST_DAY, IDC_LAST_DAY})
        if (!DateTime_SetRange(GetDlgItem(m_hwnd, picker), GDTR_MIN | GDTR_MAX, kDateRange))
            return E_FAIL;
    if (!ShowDay(m_hwnd, IDC_FIRST_DAY, m_first) || !ShowDay(m_hwnd, IDC_LAST_DAY, m_last))
        return E_FAIL;
    return S_OK;
}

void PeriodDialog::KeepLastDayAfterFirst()
{
    DateTime first = PickedDay(m_hwnd, IDC_FIRST_DAY, 0, 0, 0);
    DateTime last = PickedDay(m_hwnd, IDC_LAST_DAY, 0, 0, 0);
    if (first.Status() != DateTimeValid || last > first)
        return;
    ShowDay(m_hwnd, IDC_LAST_DAY, AddSpan(first, DateTimeSpan::SpanFromParts(1, 0, 0, 0)));
}

// Refuses a period whose last day comes before its first: the user is told, and goes back to the last day.
bool PeriodDialog::OnDone()
{
    DateTime first = PickedDay(m_hwnd, IDC_FIRST_DAY, 0, 0, 0);
    DateTime last = PickedDay(m_hwnd, IDC_LAST_DAY, 23, 59, 59);
    if (!(last > first)) {
        std::u16string text = ResourceString(IDS_PERIOD_INVALID);
        MessageBoxW(m_hwnd, text.c_str(), g_mainWindow.GetSettings().AppTitle(), MB_OK | MB_ICONEXCLAMATION);
        SetFocus(GetDlgItem(m_hwnd, IDC_LAST_DAY));
        return false;
    }
    m_first = first;
    m_last = last;
    return true;
}
