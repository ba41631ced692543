#include "autoreply/AutoReplySettingsDialog.h"

#include "app/Binding.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "autoreply/AutoReplyOptionsDialog.h"
#include "ui/Layout.h"

#include "ids.h"

namespace {

constexpr int kReplyCapacity = 161; // 160 characters and the terminator
constexpr int kReplyMaxLength = kReplyCapacity - 1;
constexpr COLORREF kCounterColor = RGB(0, 0, 255);
const WCHAR kNotificationName[] = TEXT("Zelkova.MissedCalls");

} // namespace

LRESULT AutoReplySettingsDialog::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled)
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
            if (SUCCEEDED(ApplyAutoReplySettings()))
                EndDialog(m_hwnd, IDOK);
            return 0;
        case IDCANCEL: EndDialog(m_hwnd, IDCANCEL); return 0;
        case IDM_REPLY_OPTIONS: {
            AutoReplyOptionsDialog options;
            RunDialog(IDD_AUTO_REPLY_OPTIONS, m_hwnd, options);
            return 0;
        }
        case IDM_CLEAR_TEXT: ClearText(); return 0;
        case IDC_REPLY_TEXT:
            if (HIWORD(wp) == EN_CHANGE) {
                UpdateCounterAndDone();
                return 0;
            }
            break;
        case IDC_REPLY_ON:
            if (HIWORD(wp) == BN_CLICKED) {
                RefreshReadOnly(true);
                return 0;
            }
            break;
        }
        break;
    case WM_SIZE:
        StretchControls(m_hwnd, {IDC_REPLY_ON, IDC_REPLY_TEXT});
        StretchToBottom(m_hwnd, IDC_REPLY_TEXT);
        AlignControls(m_hwnd, kEdgeRight, IDC_REPLY_TEXT, {IDC_REPLY_COUNTER});
        return 0;
    // The shell keeps the input panel's state; the dialog manager still does its part.
    case WM_ACTIVATE: SHHandleWMActivate(m_hwnd, wp, lp, &m_activation, 0); break;
    case WM_SETTINGCHANGE: SHHandleWMSettingChange(m_hwnd, wp, lp, &m_activation); break;
    case WM_CTLCOLORSTATIC: return OnColorStatic(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp), handled);
    case WM_HOTKEY:
        if (HIWORD(lp) == VK_TBACK) {
            OnBackKey(msg, wp, lp);
            return 0;
        }
        break;
    }
    handled = FALSE;
    return 0;
}

HRESULT AutoReplySettingsDialog::OnInitDialog()
{
    InitFullScreenDialog(m_hwnd);
    m_activation = {};
    m_activation.cbSize = sizeof m_activation;
    if (FAILED(CreateMenuBar(m_hwnd, g_program.resources, IDM_AUTO_REPLY, &m_menuBar, TRUE)))
        return E_FAIL;
    Settings& settings = g_mainWindow.GetSettings();
    CheckDlgButton(m_hwnd, IDC_REPLY_ON, settings.AREnable ? BST_CHECKED : BST_UNCHECKED);
    m_edit = GetDlgItem(m_hwnd, IDC_REPLY_TEXT);
    if (!m_edit)
        return E_FAIL;
    SendMessageW(m_edit, EM_LIMITTEXT, kReplyMaxLength, 0);
    SetWindowTextW(m_edit, settings.ARMsg() ? settings.ARMsg() : TEXT(""));
    SetControlsFont(m_hwnd, settings.BoldFont(), {IDC_CAPTION});
    RefreshReadOnly(false);
    return S_OK;
}

// The text can be edited only while auto-reply is on.
void AutoReplySettingsDialog::RefreshReadOnly(bool moveFocus)
{
    bool checked = IsDlgButtonChecked(m_hwnd, IDC_REPLY_ON) == BST_CHECKED;
    SendMessageW(m_edit, EM_SETREADONLY, !checked, 0);
    UpdateCounterAndDone();
    if (moveFocus && checked)
        SetFocus(m_edit);
}

// Auto-reply can't be confirmed on with an empty text.
void AutoReplySettingsDialog::UpdateCounterAndDone()
{
    int length = GetWindowTextLengthW(m_edit);
    bool checked = IsDlgButtonChecked(m_hwnd, IDC_REPLY_ON) == BST_CHECKED;
    EnableSoftKey(m_menuBar, IDOK, !checked || length > 0);
    utils::SetCounterText(GetDlgItem(m_hwnd, IDC_REPLY_COUNTER), length, kReplyMaxLength);
}

void AutoReplySettingsDialog::ClearText()
{
    SetWindowTextW(m_edit, TEXT(""));
    SetFocus(m_edit);
    UpdateCounterAndDone();
}

// Back deletes in the text while it can be edited; anywhere else it leaves the screen, as it leaves every
// modal screen of the phone.
void AutoReplySettingsDialog::OnBackKey(UINT msg, WPARAM wp, LPARAM lp)
{
    if (GetFocus() == m_edit && !(GetWindowLongPtrW(m_edit, GWL_STYLE) & ES_READONLY))
        SHSendBackToFocusWindow(msg, wp, lp);
    else if (!(LOWORD(lp) & MOD_KEYUP))
        EndDialog(m_hwnd, IDCANCEL);
}

LRESULT AutoReplySettingsDialog::OnColorStatic(HDC dc, HWND control, BOOL& handled)
{
    if (GetDlgCtrlID(control) != IDC_REPLY_COUNTER) {
        handled = FALSE; // the dialog's own colours
        return 0;
    }
    SetTextColor(dc, kCounterColor);
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

HRESULT AutoReplySettingsDialog::ApplyAutoReplySettings()
{
    Settings& settings = g_mainWindow.GetSettings();
    WCHAR text[kReplyCapacity] = {};
    GetWindowTextW(m_edit, text, kReplyCapacity);
    HRESULT hr = settings.SetARMsg(text);
    if (FAILED(hr))
        return hr;
    DWORD checked = IsDlgButtonChecked(m_hwnd, IDC_REPLY_ON) == BST_CHECKED ? 1 : 0;
    if (checked == settings.AREnable)
        return S_OK;
    if (!checked) {
        utils::StopNotification(kNotificationName); // off is off, whatever the system answered
        settings.AREnable = 0;
        return S_OK;
    }
    if (text[0] == 0)
        return E_FAIL;
    hr = utils::RegisterMissedCallNotification(kNotificationName, g_mainWindow.Window(), WM_MISSED_CALL);
    if (SUCCEEDED(hr))
        settings.AREnable = 1;
    return hr;
}

HRESULT RunAutoReplySettings(HWND owner)
{
    AutoReplySettingsDialog settings;
    return RunDialog(IDD_AUTO_REPLY, owner, settings) == IDOK ? S_OK : E_FAIL;
}
