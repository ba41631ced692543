#include "schedule/ScheduleListDialog.h"

#include "app/Program.h"
#include "app/WaitCursor.h"
#include "schedule/Notice.h"
#include "ui/Layout.h"
#include "ui/PlatformType.h"

#include "ids.h"

#include <strsafe.h>

namespace {

// The platform's state value of the current time changes with every minute.
constexpr WCHAR kTimeStateKey[] = TEXT("System\\State\\DateTime");
constexpr WCHAR kTimeStateValue[] = TEXT("Time");
constexpr UINT WM_TIME_CHANGED = WM_USER + 5;
constexpr int kMostScheduled = 10;

} // namespace

HRESULT ShowScheduledScreen(HWND owner)
{
    ScheduleListDialog screen;
    RunDialog(IDD_SCHEDULED, owner, screen);
    return S_OK;
}

LRESULT ScheduleListDialog::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled)
{
    handled = TRUE;
    LRESULT result = 0;
    if (m_pane.HandleScreenMessage(m_hwnd, IDC_SCHEDULED_LIST, msg, wp, lp, &result))
        return result;
    switch (msg) {
    case WM_INITDIALOG:
        if (FAILED(OnInitDialog()))
            EndDialog(m_hwnd, IDCANCEL);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK:
            if (IsPocketPC())
                EndDialog(m_hwnd, IDOK);
            else
                EditSelected();
            return 0;
        case IDCANCEL: EndDialog(m_hwnd, IDCANCEL); return 0;
        case IDM_NEW_SCHEDULED: NewMessage(); return 0;
        case IDM_DELETE_SCHEDULED: DeleteSelected(); return 0;
        case IDM_DELETE_ALL_SCHEDULED: DeleteAll(); return 0;
        }
        break;
    case WM_EDIT_SELECTED_SCHEDULED: EditSelected(); return 0;
    case WM_TIME_CHANGED: InvalidateRect(m_pane.Window(), nullptr, TRUE); return 0;
    case WM_INITMENUPOPUP: OnInitMenuPopup(reinterpret_cast<HMENU>(wp)); return 0;
    case WM_SETFOCUS: SetFocus(m_pane.Window()); return 0;
    case WM_DESTROY:
        if (m_timeNotification)
            RegistryCloseNotification(m_timeNotification);
        m_timeNotification = nullptr;
        return 0;
    }
    handled = FALSE;
    return 0;
}

HRESULT ScheduleListDialog::OnInitDialog()
{
    InitFullScreenDialog(m_hwnd);
    if (FAILED(CreateMenuBar(m_hwnd, g_program.resources, IDM_SCHEDULED, &m_menuBar, FALSE)) ||
        FAILED(m_pane.Create(m_hwnd, IDC_SCHEDULED_LIST)))
        return E_FAIL;
    m_messages.LoadAll();
    if (FAILED(m_pane.Fill(m_messages, nullptr)))
        return E_FAIL;
    SetFocus(m_pane.Window());
    return RegistryNotifyWindow(HKEY_LOCAL_MACHINE, kTimeStateKey, kTimeStateValue, m_hwnd, WM_TIME_CHANGED, 0, nullptr,
                                &m_timeNotification);
}

void ScheduleListDialog::OnInitMenuPopup(HMENU menu)
{
    m_pane.EnableCommandsForSelection(menu, {IDOK, IDM_DELETE_SCHEDULED});
    EnableMenuItem(menu, IDM_DELETE_ALL_SCHEDULED, MF_BYCOMMAND | (m_pane.RowCount() > 0 ? MF_ENABLED : MF_GRAYED));
}

HRESULT ScheduleListDialog::ArmAndRefill(LPCWSTR keyName)
{
    HRESULT hr = m_messages.ArmWakeUp();
    // The reload destroyed the messages the rows pointed to: the rows are rebuilt whatever came of the
    // registration.
    HRESULT filled = m_pane.Fill(m_messages, keyName);
    return FAILED(hr) ? hr : filled;
}

HRESULT ScheduleListDialog::NewMessage()
{
    // The limit counts every stored message, past ones too.
    if (m_pane.RowCount() >= kMostScheduled) {
        ShowNotice(m_hwnd, IDS_SCHEDULED_LIMIT_FORMAT, kMostScheduled);
        return E_FAIL;
    }
    ScheduledMessage message;
    HRESULT hr = message.Edit(m_hwnd);
    if (FAILED(hr))
        return hr;
    return ArmAndRefill(message.KeyName());
}

HRESULT ScheduleListDialog::EditSelected()
{
    ScheduledMessage* message = nullptr;
    HRESULT hr = m_pane.SelectedMessage(&message);
    if (SUCCEEDED(hr))
        hr = message->Edit(m_hwnd); // fails when cancelled or nothing changed: nothing to register then
    if (FAILED(hr))
        return hr;
    WCHAR keyName[kKeyNameLength];
    hr = StringCchCopyW(keyName, kKeyNameLength, message->KeyName());
    if (FAILED(hr))
        return hr;
    return ArmAndRefill(keyName);
}

HRESULT ScheduleListDialog::DeleteSelected()
{
    ScheduledMessage* message = nullptr;
    HRESULT hr = m_pane.SelectedMessage(&message);
    if (SUCCEEDED(hr))
        hr = message->Delete();
    if (FAILED(hr))
        return hr;
    return ArmAndRefill(nullptr);
}

HRESULT ScheduleListDialog::DeleteAll()
{
    WaitCursor wait;
    for (size_t index = 0; index < m_messages.Count(); ++index)
        m_messages.Item(index)->Delete();
    return ArmAndRefill(nullptr);
}
