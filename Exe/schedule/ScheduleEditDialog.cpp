#include "schedule/ScheduleEditDialog.h"

#include "app/Binding.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/ResourceText.h"
#include "contacts/RecipientString.h"
#include "schedule/Notice.h"
#include "store/Owners.h"
#include "store/SmsRecord.h"
#include "ui/Layout.h"
#include "ui/PlatformType.h"

#include "ids.h"

#include <commctrl.h>

#include <memory>

namespace {

constexpr DWORD kDeviceActivateInfoSize = 12;
constexpr COLORREF kCounterColour = RGB(0, 0, 255);
constexpr int kLeastGapSeconds = 60;
// The last minute the system's dates reach: a later one could not be stored as a time.
constexpr SYSTEMTIME kLastDue = {2078, 12, 0, 31, 23, 59, 0, 0};

} // namespace

LRESULT ScheduleEditDialog::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled)
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
        case IDM_ADD_RECIPIENT: AddRecipient(); return 0;
        case IDM_REMOVE_RECIPIENTS: RemoveRecipients(); return 0;
        case IDM_CLEAR_TEXT: ClearText(); return 0;
        case IDC_MESSAGE_TEXT:
            if (HIWORD(wp) == EN_CHANGE)
                UpdateCounter();
            return 0;
        }
        break;
    case WM_INITMENUPOPUP:
        EnableMenuItem(reinterpret_cast<HMENU>(wp), IDM_REMOVE_RECIPIENTS,
                       MF_BYCOMMAND | (m_message.MemberCount() > 0 ? MF_ENABLED : MF_GRAYED));
        return 0;
    case WM_CTLCOLORSTATIC:
        // Only the colour of the text is chosen; the background stays the dialog's.
        if (reinterpret_cast<HWND>(lp) == GetDlgItem(m_hwnd, IDC_TEXT_COUNTER))
            SetTextColor(reinterpret_cast<HDC>(wp), kCounterColour);
        break;
    case WM_ACTIVATE: SHHandleWMActivate(m_hwnd, wp, lp, &m_activation, FALSE); break;
    case WM_SETTINGCHANGE: SHHandleWMSettingChange(m_hwnd, wp, lp, &m_activation); break;
    case WM_SIZE:
        StretchControls(m_hwnd,
                        {IDC_RECIPIENTS_LABEL, IDC_DUE_PICKER, IDC_RECIPIENTS, IDC_MESSAGE_TEXT, IDC_DUE_LABEL});
        AlignControls(m_hwnd, kEdgeRight, IDC_MESSAGE_TEXT, {IDC_TEXT_COUNTER});
        return 0;
    }
    handled = FALSE;
    return 0;
}

HRESULT ScheduleEditDialog::OnInitDialog()
{
    if (IsPocketPC())
        SetWindowLongW(m_hwnd, GWL_STYLE, 0);
    InitFullScreenDialog(m_hwnd);
    m_activation.cbSize = kDeviceActivateInfoSize;
    if (FAILED(CreateMenuBar(m_hwnd, g_program.resources, IDM_SCHEDULE_EDIT, &m_menuBar, TRUE)))
        return E_FAIL;
    SYSTEMTIME due;
    HWND picker = GetDlgItem(m_hwnd, IDC_DUE_PICKER);
    if (!m_message.Time().ToSystemTime(&due) || FAILED(utils::SetPickerDateTime(picker, &due)))
        return E_FAIL;
    SYSTEMTIME range[2] = {{}, kLastDue};
    SendMessageW(picker, DTM_SETRANGE, GDTR_MAX, reinterpret_cast<LPARAM>(range));

    m_text = GetDlgItem(m_hwnd, IDC_MESSAGE_TEXT);
    m_recipients = GetDlgItem(m_hwnd, IDC_RECIPIENTS);
    SendMessageW(m_text, EM_LIMITTEXT, kMaxSmsLength, 0);
    SetWindowTextW(m_text, m_message.Text() ? m_message.Text() : TEXT(""));
    if (FAILED(RefreshRecipients()))
        return E_FAIL;
    SetControlsFont(m_hwnd, g_mainWindow.GetSettings().BoldFont(),
                    {IDC_RECIPIENTS_LABEL, IDC_TEXT_LABEL, IDC_DUE_LABEL});
    // A new message starts with its first recipient: no contact chosen, no message.
    if (!m_message.KeyName()[0] && m_message.MemberCount() == 0 && FAILED(AddRecipient()))
        return E_FAIL;
    return m_stored.LoadAll();
}

HRESULT ScheduleEditDialog::RefreshRecipients()
{
    if (m_message.MemberCount() > 0) {
        LocalPtr<WCHAR> names;
        HRESULT hr = BuildRecipientString(m_message, names.Out(), FALSE);
        if (FAILED(hr))
            return hr;
        SetWindowTextW(m_recipients, names.Get());
    } else {
        std::unique_ptr<WCHAR[]> none(CopyResourceString(IDS_NO_RECIPIENTS));
        SetWindowTextW(m_recipients, none ? none.get() : TEXT(""));
    }
    UpdateCounter();
    return S_OK;
}

void ScheduleEditDialog::UpdateCounter()
{
    int length = GetWindowTextLengthW(m_text);
    EnableSoftKey(m_menuBar, IDOK, length > 0 && m_message.MemberCount() > 0);
    utils::SetCounterText(GetDlgItem(m_hwnd, IDC_TEXT_COUNTER), length, kMaxSmsLength);
}

HRESULT ScheduleEditDialog::AddRecipient()
{
    CEOID contact = 0;
    HRESULT hr = utils::PickContact(m_hwnd, &contact);
    if (SUCCEEDED(hr))
        hr = m_message.AddMember(contact);
    if (SUCCEEDED(hr))
        hr = RefreshRecipients();
    if (FAILED(hr))
        return hr;
    SetFocus(m_recipients);
    return S_OK;
}

HRESULT ScheduleEditDialog::RemoveRecipients()
{
    m_message.ClearMembers();
    HRESULT hr = RefreshRecipients();
    SetFocus(m_recipients);
    return hr;
}

void ScheduleEditDialog::ClearText()
{
    SetWindowTextW(m_text, TEXT(""));
    SetFocus(m_text);
    UpdateCounter();
}

HRESULT ScheduleEditDialog::OnDone()
{
    WCHAR text[kMaxSmsLength + 1] = {};
    if (GetWindowTextW(m_text, text, kMaxSmsLength + 1) == 0)
        return E_FAIL; // Done is greyed then
    if (m_message.MemberCount() == 0)
        return Refuse(IDS_ADD_RECIPIENT, IDC_RECIPIENTS);
    SYSTEMTIME chosen{};
    if (DateTime_GetSystemtime(GetDlgItem(m_hwnd, IDC_DUE_PICKER), &chosen) != GDT_VALID)
        return E_FAIL;
    DateTime now = LocalNow();
    DateTime picked;
    picked.FromParts(chosen.wYear, chosen.wMonth, chosen.wDay, chosen.wHour, chosen.wMinute, 0);
    if (picked.Status() != DateTimeValid || picked <= now)
        return Refuse(IDS_TIME_NOT_IN_FUTURE, IDC_DUE_PICKER);
    if (TooCloseToAnother(picked))
        return Refuse(IDS_SCHEDULED_TOO_CLOSE_FORMAT, IDC_DUE_PICKER, kLeastGapSeconds);
    m_message.SetTime(picked);
    return m_message.SetText(text);
}

// At most one message belongs to any minute. The message's own stored copy does not count.
bool ScheduleEditDialog::TooCloseToAnother(const DateTime& picked) const
{
    for (size_t index = 0; index < m_stored.Count(); ++index) {
        const ScheduledMessage& other = *m_stored.Item(index);
        if (lstrcmpW(other.KeyName(), m_message.KeyName()) == 0)
            continue;
        // More than 2^31 seconds apart the count comes back as the most negative one: far, not close.
        double gap = (other.Time() - picked).WholeSeconds();
        if (gap > -kLeastGapSeconds && gap < kLeastGapSeconds)
            return true;
    }
    return false;
}

HRESULT ScheduleEditDialog::Refuse(UINT textId, int controlId, int number)
{
    ShowNotice(m_hwnd, textId, number);
    SetFocus(GetDlgItem(m_hwnd, controlId));
    return E_FAIL;
}
