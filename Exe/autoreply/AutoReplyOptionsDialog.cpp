#include "autoreply/AutoReplyOptionsDialog.h"

#include "app/Binding.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "ui/Layout.h"

#include "ids.h"

#include <commctrl.h>

#include <iterator>

namespace {

// The warning delays in the order of their list, in seconds; 0 is no warning.
constexpr DWORD kDelays[] = {5, 10, 30, 0};

int DelayIndex(DWORD seconds)
{
    for (int i = 0; i < static_cast<int>(std::size(kDelays)); ++i)
        if (kDelays[i] == seconds)
            return i;
    return -1;
}

} // namespace

LRESULT AutoReplyOptionsDialog::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled)
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
            if (SUCCEEDED(OnDone()))
                EndDialog(m_hwnd, IDOK);
            return 0;
        case IDCANCEL: EndDialog(m_hwnd, IDCANCEL); return 0;
        }
        break;
    case WM_SIZE: Layout(); return 0;
    }
    handled = FALSE;
    return 0;
}

HRESULT AutoReplyOptionsDialog::OnInitDialog()
{
    InitFullScreenDialog(m_hwnd);
    // No text to delete here: Back keeps its own meaning and cancels.
    if (FAILED(CreateMenuBar(m_hwnd, g_program.resources, IDM_DONE_CANCEL, &m_menuBar, FALSE)))
        return E_FAIL;
    Settings& settings = g_mainWindow.GetSettings();
    SetControlsFont(m_hwnd, settings.BoldFont(), {IDC_MODE_LABEL, IDC_DELAY_LABEL});
    m_modeList = GetDlgItem(m_hwnd, IDC_MODE_LIST);
    m_delayList = GetDlgItem(m_hwnd, IDC_DELAY_LIST);
    utils::FillListFromResources(m_modeList, g_program.resources, IDS_REPLY_EVERY_CALLER, IDS_REPLY_CONTACTS_ONLY,
                                 static_cast<int>(settings.ARMode));
    utils::FillListFromResources(m_delayList, g_program.resources, IDS_WARN_5_SECONDS, IDS_WARN_NONE,
                                 DelayIndex(settings.ARWarn));
    return S_OK;
}

// The mode is kept as chosen even when the delay is missing, which keeps the screen open.
HRESULT AutoReplyOptionsDialog::OnDone()
{
    Settings& settings = g_mainWindow.GetSettings();
    settings.ARMode = static_cast<DWORD>(SendMessageW(m_modeList, LB_GETCURSEL, 0, 0));
    LRESULT delay = SendMessageW(m_delayList, LB_GETCURSEL, 0, 0);
    if (delay < 0 || delay >= static_cast<LRESULT>(std::size(kDelays)))
        return E_FAIL;
    settings.ARWarn = kDelays[delay];
    return S_OK;
}

// Each list across the screen with its spinner at its right end.
void AutoReplyOptionsDialog::Layout()
{
    StretchControls(m_hwnd, {IDC_MODE_LABEL, IDC_DELAY_LABEL, IDC_MODE_LIST, IDC_DELAY_LIST});
    SendDlgItemMessageW(m_hwnd, IDC_MODE_SPIN, UDM_SETBUDDY,
                        reinterpret_cast<WPARAM>(GetDlgItem(m_hwnd, IDC_MODE_LIST)), 0);
    SendDlgItemMessageW(m_hwnd, IDC_DELAY_SPIN, UDM_SETBUDDY,
                        reinterpret_cast<WPARAM>(GetDlgItem(m_hwnd, IDC_DELAY_LIST)), 0);
}
