#include "autoreply/MissedCallReplyDialog.h"

#include "app/MainWindow.h"
#include "app/Program.h"
#include "store/Send.h"
#include "ui/Layout.h"

#include "ids.h"

#include <pimstore.h>
#include <regext.h>
#include <strsafe.h>

namespace {

const WCHAR kPhoneStateKey[] = TEXT("System\\State\\Phone");
constexpr UINT_PTR kCountdownTimer = 1124;
constexpr UINT kTickMs = 1000;
constexpr COLORREF kCallerColor = RGB(0, 128, 192);
constexpr COLORREF kCountdownColor = RGB(255, 128, 0);
constexpr int kCountdownChars = 128;

} // namespace

MissedCallReplyDialog::MissedCallReplyDialog() : m_countdownSeconds(g_mainWindow.GetSettings().ARWarn) {}

LRESULT MissedCallReplyDialog::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled)
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
            SendAutoReply(); // a failed send is not the user's to handle: the screen ends as after a sent one
            EndDialog(m_hwnd, IDOK);
            return 0;
        case IDCANCEL: EndDialog(m_hwnd, IDCANCEL); return 0;
        }
        break;
    case WM_TIMER:
        if (wp == kCountdownTimer) {
            OnTimer();
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC: return OnColorStatic(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_SIZE: StretchControls(m_hwnd, {IDC_REPLY_NOTE, IDC_CALLER, IDC_COUNTDOWN}); return 0;
    case WM_DESTROY:
        KillTimer(m_hwnd, kCountdownTimer);
        return 0;
    }
    handled = FALSE;
    return 0;
}

// Ends in a failure, for the screen to close unseen, whenever nothing is to be sent or shown.
HRESULT MissedCallReplyDialog::OnInitDialog()
{
    if (!g_mainWindow.GetSettings().AREnable)
        return E_FAIL;
    InitFullScreenDialog(m_hwnd);
    HRESULT hr = ReadLastCaller();
    if (FAILED(hr))
        return hr;
    if (m_countdownSeconds == 0) {
        SendMessageW(m_hwnd, WM_COMMAND, IDOK, 0);
        return S_OK;
    }
    if (FAILED(CreateMenuBar(m_hwnd, g_program.resources, IDM_MISSED_CALL_REPLY, &m_menuBar, FALSE)))
        return E_FAIL;
    ShowCountdown();
    SetControlsFont(m_hwnd, g_mainWindow.GetSettings().BoldFont(), {IDC_REPLY_HEADING, IDC_CALLER, IDC_COUNTDOWN});
    // Over whatever the user is doing, and over the hidden window of a program started for this call.
    SetForegroundWindow(m_hwnd);
    SetWindowPos(m_hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (!SetTimer(m_hwnd, kCountdownTimer, kTickMs, nullptr))
        return E_FAIL;
    return S_OK;
}

HRESULT MissedCallReplyDialog::ReadLastCaller()
{
    DWORD oid = 0;
    if (SUCCEEDED(RegistryGetDWORD(HKEY_LOCAL_MACHINE, kPhoneStateKey, TEXT("Last Incoming Caller OID"), &oid)))
        m_isContact = oid != 0;
    if (m_isContact) {
        HRESULT hr = RegistryGetString(HKEY_LOCAL_MACHINE, kPhoneStateKey, TEXT("Last Incoming Caller Name"),
                                       m_callerName, kNameCapacity);
        if (FAILED(hr))
            return hr;
        DWORD property = 0;
        hr = RegistryGetDWORD(HKEY_LOCAL_MACHINE, kPhoneStateKey, TEXT("Last Incoming Caller PropID"), &property);
        if (FAILED(hr))
            return hr;
        // Only a call from the contact's mobile phone can take a text back.
        if (property != PIMPR_MOBILE_TELEPHONE_NUMBER)
            return E_FAIL;
    } else if (g_mainWindow.GetSettings().ARMode != 0) {
        return E_FAIL;
    }
    HRESULT hr = RegistryGetString(HKEY_LOCAL_MACHINE, kPhoneStateKey, TEXT("Last Incoming Caller Number"),
                                   m_callerNumber, kNumberCapacity);
    if (FAILED(hr))
        return hr;
    if (m_callerNumber[0] == 0) // a withheld number has nowhere to send to
        return E_FAIL;
    SetDlgItemTextW(m_hwnd, IDC_CALLER, m_isContact ? m_callerName : m_callerNumber);
    return S_OK;
}

HRESULT MissedCallReplyDialog::SendAutoReply()
{
    SmsStore store;
    store.Reset();
    HRESULT hr = store.Open();
    if (SUCCEEDED(hr))
        hr = Send(store, m_callerName, m_callerNumber, g_mainWindow.GetSettings().ARMsg());
    store.Close();
    return hr;
}

void MissedCallReplyDialog::OnTimer()
{
    ++m_elapsedSeconds;
    if (m_elapsedSeconds < m_countdownSeconds) {
        ShowCountdown();
        return;
    }
    KillTimer(m_hwnd, kCountdownTimer);
    SendMessageW(m_hwnd, WM_COMMAND, IDOK, 0);
}

void MissedCallReplyDialog::ShowCountdown()
{
    WCHAR format[kCountdownChars] = {}, text[kCountdownChars] = {};
    LoadStringW(g_program.resources, IDS_COUNTDOWN_FORMAT, format, kCountdownChars);
    StringCchPrintfW(text, kCountdownChars, format, m_countdownSeconds - m_elapsedSeconds, m_elapsedSeconds);
    SetDlgItemTextW(m_hwnd, IDC_COUNTDOWN, text);
}

// The caller and the countdown in their colours on the window's background; every other static keeps the
// dialog's colours. The system's own brush: a dialog procedure's answer is too narrow for a brush of ours.
LRESULT MissedCallReplyDialog::OnColorStatic(HDC dc, HWND control)
{
    switch (GetDlgCtrlID(control)) {
    case IDC_CALLER: SetTextColor(dc, kCallerColor); break;
    case IDC_COUNTDOWN: SetTextColor(dc, kCountdownColor); break;
    default: return 0;
    }
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}
