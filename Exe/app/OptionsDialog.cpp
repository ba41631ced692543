#include "app/OptionsDialog.h"

#include "app/Program.h"
#include "ui/Layout.h"

#include "ids.h"

#include <aygshell.h>

namespace {
}

LRESULT OptionsDialog::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled)
{
    handled = TRUE;
    switch (msg) {
    case WM_INITDIALOG:
        if (FAILED(OnInitDialog()))
            EndDialog(m_hwnd, IDCANCEL);
        return TRUE;
    case WM_SIZE: StretchControls(m_hwnd, {IDC_AUTO_EXIT, IDC_CAPTION, IDC_MY_NUMBER}); return 0;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK:
            if (SUCCEEDED(OnDone()))
                EndDialog(m_hwnd, IDOK);
            return 0;
        case IDCANCEL: EndDialog(m_hwnd, IDCANCEL); return 0;
        }
        break;
    }
    handled = FALSE;
    return 0;
}

HRESULT OptionsDialog::OnInitDialog()
{
    InitFullScreenDialog(m_hwnd);
    if (FAILED(CreateMenuBar(m_hwnd, g_program.resources, IDM_DONE_CANCEL, &m_menuBar, TRUE)))
        return E_FAIL;
    SetControlsFont(m_hwnd, m_settings.BoldFont(), {IDC_CAPTION});
    CheckDlgButton(m_hwnd, IDC_AUTO_EXIT, m_settings.AutoExit ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageW(m_hwnd, IDC_MY_NUMBER, EM_LIMITTEXT, Settings::kMyNumberLength, 0);
    SetDlgItemTextW(m_hwnd, IDC_MY_NUMBER, m_settings.MyNumber() ? m_settings.MyNumber() : TEXT(""));
    return S_OK;
}

HRESULT OptionsDialog::OnDone()
{
    m_settings.AutoExit = IsDlgButtonChecked(m_hwnd, IDC_AUTO_EXIT) == BST_CHECKED ? 1 : 0;
    WCHAR number[Settings::kMyNumberLength + 1] = {};
    GetDlgItemTextW(m_hwnd, IDC_MY_NUMBER, number, Settings::kMyNumberLength + 1);
    return m_settings.SetMyNumber(number);
}
