#include "backup/BackupProgressDialog.h"

#include "app/Binding.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/ResourceText.h"
#include "backup/BackupRecord.h"
#include "backup/CsvExport.h"
#include "ui/Layout.h"

#include "ids.h"

#include <commctrl.h>

#include <memory>

namespace {

constexpr UINT_PTR kStartTimer = 1124;
constexpr UINT kStartDelay = 500;
constexpr int kCounterLength = 24;

// What the worker asks of the screen.
enum : UINT {
    WM_JOB_STATUS = WM_APP + 1, // wParam: the string id of the status line
    WM_JOB_RANGE,               // wParam: the count the bar runs to
    WM_JOB_STEP,                // wParam: messages done, lParam: of how many
    WM_JOB_CANCEL_KEY,          // wParam: whether Cancel is offered
    WM_JOB_NOTICE,              // wParam: the string id of an information box
    WM_JOB_ENDED,               // wParam: the job's result
};

} // namespace

BackupProgressDialog::~BackupProgressDialog()
{
    if (m_thread) {
        m_cancel = 1; // a worker left behind by a screen that went stops after its message
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    ReleaseJobResources();
    m_store.Close();
}

LRESULT BackupProgressDialog::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled)
{
    handled = TRUE;
    switch (msg) {
    case WM_INITDIALOG:
        if (FAILED(OnInitDialog()))
            EndDialog(m_hwnd, IDCANCEL);
        return TRUE;
    case WM_TIMER:
        if (wp == kStartTimer) {
            StartWorker();
            return 0;
        }
        break;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK: return 0; // only the job ends the screen
        case IDCANCEL: m_cancel = 1; return 0;
        }
        break;
    case WM_SIZE: StretchControls(m_hwnd, {IDC_BACKUP_STATUS, IDC_BACKUP_COUNTER, IDC_BACKUP_PROGRESS}); return 0;
    case WM_JOB_STATUS: {
        std::unique_ptr<WCHAR[]> text(CopyResourceString(static_cast<UINT>(wp)));
        SetDlgItemTextW(m_hwnd, IDC_BACKUP_STATUS, text ? text.get() : TEXT(""));
        return 0;
    }
    case WM_JOB_RANGE:
        SendDlgItemMessageW(m_hwnd, IDC_BACKUP_PROGRESS, PBM_SETRANGE32, 0, static_cast<LPARAM>(wp));
        ShowProgress(0, static_cast<DWORD>(wp));
        return 0;
    case WM_JOB_STEP: ShowProgress(static_cast<DWORD>(wp), static_cast<DWORD>(lp)); return 0;
    case WM_JOB_CANCEL_KEY: EnableSoftKey(m_menuBar, IDCANCEL, static_cast<BOOL>(wp)); return 0;
    case WM_JOB_NOTICE: ResourceMessageBox(m_hwnd, static_cast<UINT>(wp), MB_OK | MB_ICONINFORMATION); return 0;
    case WM_JOB_ENDED: OnJobEnded(static_cast<HRESULT>(wp)); return 0;
    }
    handled = FALSE;
    return 0;
}

HRESULT BackupProgressDialog::OnInitDialog()
{
    InitFullScreenDialog(m_hwnd);
    if (FAILED(CreateMenuBar(m_hwnd, g_program.resources, IDM_BACKUP_PROGRESS, &m_menuBar, FALSE)))
        return E_FAIL;
    EnableSoftKey(m_menuBar, IDCANCEL, FALSE);
    SetControlsFont(m_hwnd, g_mainWindow.GetSettings().BoldFont(), {IDC_BACKUP_STATUS});
    return SetTimer(m_hwnd, kStartTimer, kStartDelay, nullptr) ? S_OK : E_FAIL;
}

void BackupProgressDialog::StartWorker()
{
    KillTimer(m_hwnd, kStartTimer);
    if (m_thread)
        return;
    m_thread = CreateThread(nullptr, 0, &RunBackupJob, this, 0, nullptr);
    if (!m_thread) {
        m_error = 1;
        EndDialog(m_hwnd, IDCANCEL);
    }
}

void BackupProgressDialog::OnJobEnded(HRESULT result)
{
    if (FAILED(result)) {
        m_error = 1;
        ResourceMessageBox(m_hwnd, IDS_JOB_FAILED, MB_OK | MB_ICONWARNING);
        EndDialog(m_hwnd, IDCANCEL);
        return;
    }
    EndDialog(m_hwnd, IDOK);
}

void BackupProgressDialog::ShowProgress(DWORD processed, DWORD total)
{
    SendDlgItemMessageW(m_hwnd, IDC_BACKUP_PROGRESS, PBM_SETPOS, processed, 0);
    WCHAR counter[kCounterLength];
    wsprintfW(counter, TEXT("%d/%d"), static_cast<int>(processed), static_cast<int>(total));
    SetDlgItemTextW(m_hwnd, IDC_BACKUP_COUNTER, counter);
}

DWORD WINAPI BackupProgressDialog::RunBackupJob(LPVOID dialog)
{
    return static_cast<DWORD>(static_cast<BackupProgressDialog*>(dialog)->RunJob());
}

HRESULT BackupProgressDialog::RunJob()
{
    m_cancel = 0;
    HRESULT hr = m_store.Open();
    if (SUCCEEDED(hr)) {
        switch (m_options->mode) {
        case kBackupMode:
        case kExportMode: hr = BackupOrExport(); break;
        case kRestoreMode: hr = OpenBackupVolume(); break;
        default: hr = E_INVALIDARG;
        }
    }
    ReleaseJobResources();
    Tell(WM_JOB_CANCEL_KEY, FALSE);
    Tell(WM_JOB_STATUS, IDS_STATUS_FINISHED);
    Tell(WM_JOB_ENDED, static_cast<WPARAM>(hr)); // the last touch of the screen: it may go at once
    return hr;
}

HRESULT BackupProgressDialog::BackupOrExport()
{
    Tell(WM_JOB_CANCEL_KEY, TRUE);
    HRESULT hr;
    if (m_options->mode == kExportMode) {
        if (!m_options->path || !*m_options->path)
            return E_FAIL;
        hr = utils::CreateUnicodeFile(m_options->path, &m_csv);
        if (FAILED(hr))
            return hr;
        std::unique_ptr<WCHAR[]> header(CopyResourceString(IDS_CSV_HEADER));
        hr = WriteText(m_csv, header ? header.get() : TEXT(""));
    } else {
        hr = OpenBackupVolume();
    }
    if (FAILED(hr))
        return hr;
    if (m_options->includeReceived)
        hr = CopyFolder(kReceivedFolder);
    if (SUCCEEDED(hr) && m_options->includeSent)
        hr = CopyFolder(kSentFolder);
    return hr;
}

HRESULT BackupProgressDialog::OpenBackupVolume()
{
    if (!m_options->path || !*m_options->path)
        return E_FAIL;
    if (m_options->mode != kBackupMode && m_options->mode != kRestoreMode)
        return E_INVALIDARG;
    bool backup = m_options->mode == kBackupMode;
    if (FAILED(m_volume.Mount(m_options->path, backup)))
        return E_FAIL;
    if (backup) {
        HRESULT hr = m_volume.CreateBackupDatabase();
        if (FAILED(hr))
            return hr;
    }
    if (FAILED(m_volume.OpenDatabase()))
        return E_FAIL;
    return backup ? S_OK : RestoreBackup();
}

HRESULT BackupProgressDialog::CopyFolder(DWORD kind)
{
    if (m_cancel)
        return S_OK;
    m_processed = 0;
    ULONG total = 0;
    HRESULT hr = utils::GetFolderMessageCount(m_store.GetFolder(kind), &total);
    if (FAILED(hr))
        return hr;
    m_total = total;
    Tell(WM_JOB_RANGE, m_total);
    Tell(WM_JOB_STATUS, kind == kReceivedFolder ? IDS_FOLDER_RECEIVED : IDS_FOLDER_SENT);
    return m_store.Enumerate(kind, &CopyMessage, this, FALSE, m_options->deleteAfterCopying);
}

// A message that isn't written (not chosen, not whole, or refused) fails, so the visit never deletes it.
HRESULT BackupProgressDialog::CopyMessage(const SmsRecord* message, void* job, BOOL* stop)
{
    auto dialog = static_cast<BackupProgressDialog*>(job);
    dialog->StepProgress();
    HRESULT hr = E_FAIL;
    if (dialog->m_options->Includes(message->kind))
        hr = dialog->m_options->mode == kExportMode ? WriteCsvLine(dialog->m_csv, *message)
                                                    : dialog->m_volume.WriteBackupRecord(*message);
    if (dialog->m_cancel)
        *stop = TRUE;
    return hr;
}

HRESULT BackupProgressDialog::RestoreBackup()
{
    m_processed = 0;
    DWORD count = 0;
    if (FAILED(m_volume.RecordCount(&count)))
        return E_FAIL;
    if (count == 0) {
        Tell(WM_JOB_NOTICE, IDS_BACKUP_EMPTY);
        return E_FAIL;
    }
    if (m_options->emptyBeforeRestore) {
        Tell(WM_JOB_STATUS, IDS_STATUS_EMPTYING);
        HRESULT hr = utils::EmptyFolders(m_hwnd, m_options->includeReceived, m_store.GetFolder(kReceivedFolder),
                                         m_options->includeSent, m_store.GetFolder(kSentFolder));
        if (FAILED(hr))
            return hr;
    }
    Tell(WM_JOB_CANCEL_KEY, TRUE);
    Tell(WM_JOB_STATUS, IDS_STATUS_RESTORING);
    m_total = count;
    Tell(WM_JOB_RANGE, m_total);
    if (FAILED(m_volume.SeekFirst()))
        return E_FAIL;
    for (;;) {
        LocalPtr<BYTE> buffer;
        WORD properties = 0;
        HRESULT hr = m_volume.ReadNextRecord(&buffer, &properties);
        if (FAILED(hr))
            return hr;
        if (hr == S_FALSE)
            return S_OK;
        RestoreRecord(reinterpret_cast<const CEPROPVAL*>(buffer.Get()), properties);
        StepProgress();
        if (m_cancel)
            return S_OK;
    }
}

// A record that holds no whole message, or one of a kind not chosen, is read and counted but not stored.
void BackupProgressDialog::RestoreRecord(const CEPROPVAL* values, WORD count)
{
    SYSTEMTIME time;
    SmsRecord message;
    if (SUCCEEDED(MessageFromRecord(values, count, &time, &message)) && m_options->Includes(message.kind))
        m_store.WriteMessage(message);
}

void BackupProgressDialog::StepProgress()
{
    ++m_processed;
    Tell(WM_JOB_STEP, m_processed, m_total);
}

void BackupProgressDialog::ReleaseJobResources()
{
    m_volume.Close();
    if (m_csv != INVALID_HANDLE_VALUE)
        CloseHandle(m_csv);
    m_csv = INVALID_HANDLE_VALUE;
}
