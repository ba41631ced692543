#include "backup/BackupOptionsDialog.h"

#include "app/Program.h"
#include "app/ResourceText.h"
#include "ui/Layout.h"

#include "ids.h"

#include <memory>

namespace {

void Check(HWND dialog, int id, DWORD on)
{
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

void SetText(HWND dialog, int id, UINT textId)
{
    std::unique_ptr<WCHAR[]> text(CopyResourceString(textId));
    SetDlgItemTextW(dialog, id, text ? text.get() : TEXT(""));
}

} // namespace

LRESULT BackupOptionsDialog::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM, BOOL& handled)
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
        case IDC_INCLUDE_RECEIVED:
        case IDC_INCLUDE_SENT:
            if (HIWORD(wp) == BN_CLICKED) {
                EnableDone();
                return 0;
            }
            break;
        }
        break;
    case WM_SIZE: StretchControls(m_hwnd, {IDC_BACKUP_OPTIONS_LABEL, IDC_BACKUP_CHOICE}); return 0;
    }
    handled = FALSE;
    return 0;
}

HRESULT BackupOptionsDialog::OnInitDialog()
{
    InitFullScreenDialog(m_hwnd);
    if (FAILED(CreateMenuBar(m_hwnd, g_program.resources, IDM_BACKUP_OPTIONS, &m_menuBar, FALSE)))
        return E_FAIL;
    Check(m_hwnd, IDC_INCLUDE_RECEIVED, m_options->includeReceived);
    Check(m_hwnd, IDC_INCLUDE_SENT, m_options->includeSent);
    switch (m_options->mode) {
    case kBackupMode:
        SetText(m_hwnd, IDC_BACKUP_CHOICE, IDS_OPTION_DELETE_AFTER_BACKUP);
        Check(m_hwnd, IDC_BACKUP_CHOICE, m_options->deleteAfterCopying);
        break;
    case kRestoreMode:
        SetText(m_hwnd, IDC_BACKUP_CHOICE, IDS_OPTION_EMPTY_BEFORE_RESTORE);
        Check(m_hwnd, IDC_BACKUP_CHOICE, m_options->emptyBeforeRestore);
        break;
    default: ShowWindow(GetDlgItem(m_hwnd, IDC_BACKUP_CHOICE), SW_HIDE);
    }
    EnableDone();
    return S_OK;
}

void BackupOptionsDialog::EnableDone()
{
    EnableSoftKey(m_menuBar, IDOK, Checked(IDC_INCLUDE_RECEIVED) || Checked(IDC_INCLUDE_SENT));
}

bool BackupOptionsDialog::OnDone()
{
    bool received = Checked(IDC_INCLUDE_RECEIVED), sent = Checked(IDC_INCLUDE_SENT);
    if (!received && !sent)
        return false;
    switch (m_options->mode) {
    case kBackupMode: m_options->deleteAfterCopying = Checked(IDC_BACKUP_CHOICE); break;
    case kRestoreMode: {
        bool empty = Checked(IDC_BACKUP_CHOICE);
        if (empty) {
            if (ResourceMessageBox(m_hwnd, IDS_CONFIRM_EMPTY_FOLDERS, MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING) !=
                IDYES)
                return false;
        }
        m_options->deleteAfterCopying = 0;
        m_options->emptyBeforeRestore = empty;
        break;
    }
    default: m_options->deleteAfterCopying = 0; m_options->emptyBeforeRestore = 0;
    }
    m_options->includeReceived = received;
    m_options->includeSent = sent;
    return true;
}
