#include "backup/BackupScreenDialog.h"

#include "app/Binding.h"
#include "app/Program.h"
#include "app/ResourceText.h"
#include "backup/BackupFile.h"
#include "backup/BackupOptionsDialog.h"
#include "backup/BackupProgressDialog.h"
#include "ui/Layout.h"
#include "ui/PlatformType.h"

#include "ids.h"

#include <cemapi.h>

#include <memory>

namespace {

constexpr WCHAR kSmsAccount[] = TEXT("SMS");

} // namespace

HRESULT ShowBackupScreen(HWND owner)
{
    BackupScreenDialog screen;
    return RunDialog(IDD_BACKUP, owner, screen) == -1 ? E_FAIL : S_OK;
}

LRESULT BackupScreenDialog::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled)
{
    handled = TRUE;
    LRESULT result = 0;
    if (m_actions.HandleScreenMessage(m_hwnd, IDC_BACKUP_LIST, msg, wp, lp, &result))
        return result;
    switch (msg) {
    case WM_INITDIALOG:
        if (FAILED(OnInitDialog()))
            EndDialog(m_hwnd, IDCANCEL);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK:
            // A PocketPC's OK closes the screen; a Smartphone's runs the highlighted action.
            if (IsPocketPC())
                EndDialog(m_hwnd, IDOK);
            else if (m_actions.SelectedRow() >= 0)
                m_actions.Activate(m_actions.SelectedRow());
            return 0;
        case IDCANCEL: EndDialog(m_hwnd, IDCANCEL); return 0;
        }
        break;
    case WM_RUN_BACKUP_ACTION:
        RunBackupOperation(static_cast<DWORD>(m_actions.RowData(static_cast<int>(wp))));
        return 0;
    case WM_SETFOCUS: SetFocus(m_actions.Window()); return 0;
    }
    handled = FALSE;
    return 0;
}

HRESULT BackupScreenDialog::OnInitDialog()
{
    InitFullScreenDialog(m_hwnd);
    if (FAILED(CreateMenuBar(m_hwnd, g_program.resources, IDM_BACKUP, &m_menuBar, FALSE)))
        return E_FAIL;
    return m_actions.Create(m_hwnd, IDC_BACKUP_LIST);
}

HRESULT BackupScreenDialog::RunBackupOperation(DWORD mode)
{
    BackupProgressDialog job(&m_options);
    m_options.mode = mode;
    BackupOptionsDialog options(&m_options);
    if (RunDialog(IDD_BACKUP_OPTIONS, m_hwnd, options) != IDOK)
        return E_FAIL;
    WCHAR path[kBackupPathLength] = {};
    if (FAILED(ChooseBackupFile(m_hwnd, mode, path, kBackupPathLength)))
        return E_FAIL;
    m_options.path = path;
    INT_PTR ended = RunDialog(IDD_BACKUP_PROGRESS, m_hwnd, job);
    m_options.path = nullptr;
    if (ended != IDOK || job.Failed())
        return E_FAIL;
    if (mode == kRestoreMode) {
        MailSwitchToAccount(kSmsAccount, MCF_ACCOUNT_IS_NAME);
        EndDialog(m_hwnd, IDOK);
    } else if (!job.Cancelled()) {
        OfferMail(path);
    }
    return S_OK;
}

// On Yes, a mail with the file attached; the screen's work is then done.
void BackupScreenDialog::OfferMail(LPCWSTR path)
{
    if (ResourceMessageBox(m_hwnd, IDS_OFFER_MAIL_FILE, MB_YESNO | MB_DEFBUTTON2 | MB_ICONINFORMATION) != IDYES)
        return;
    std::unique_ptr<WCHAR[]> subject(CopyResourceString(IDS_BACKUP_MAIL_SUBJECT));
    std::unique_ptr<WCHAR[]> body(CopyResourceString(IDS_BACKUP_MAIL_BODY));
    // The attachment list: each name ends with a null character, and the one name does.
    utils::ComposeMailMessage(nullptr, subject.get(), body.get(), path, 1);
    EndDialog(m_hwnd, IDOK);
}
