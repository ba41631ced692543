// The progress screen of a backup, restore or export, and the job behind it. Half a second after the screen
// shows, the job starts on a worker thread of its own, which opens its own message store, copies message by
// message, reports to the screen by messages (the screen's thread does the drawing and the message boxes)
// and ends the screen: with done when the job succeeded, with cancel when it failed. Cancel only raises a
// flag that the worker reads after each message.
#pragma once

#include "backup/BackupOptions.h"
#include "backup/BackupVolume.h"
#include "store/SmsStore.h"
#include "ui/DialogBase.h"

#include <atomic>

class BackupProgressDialog : public DialogBase {
public:
    explicit BackupProgressDialog(const BackupOptions* options) : m_options(options) {}
    // Waits for the worker, then closes what the job held and the message store.
    ~BackupProgressDialog() override;

    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;

    // After the run: the job failed or never started; the user cancelled it.
    bool Failed() const { return m_error != 0; }
    bool Cancelled() const { return m_cancel != 0; }

private:
    HRESULT OnInitDialog();
    void StartWorker();
    void OnJobEnded(HRESULT result);
    void ShowProgress(DWORD processed, DWORD total);

    // The worker's side.
    static DWORD WINAPI RunBackupJob(LPVOID dialog);
    HRESULT RunJob();
    HRESULT BackupOrExport();
    HRESULT OpenBackupVolume();
    HRESULT RestoreBackup();
    HRESULT CopyFolder(DWORD kind);
    static HRESULT CopyMessage(const SmsRecord* message, void* job, BOOL* stop);
    void RestoreRecord(const CEPROPVAL* values, WORD count);
    void StepProgress();
    void ReleaseJobResources();
    // Asks the screen's thread to do one thing, and waits until it is done.
    LRESULT Tell(UINT what, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageW(m_hwnd, what, wp, lp); }

    DWORD m_error = 0;
    std::atomic<DWORD> m_cancel{0};
    HANDLE m_thread = nullptr;
    BackupVolume m_volume;
    const BackupOptions* m_options;
    SmsStore m_store;
    HANDLE m_csv = INVALID_HANDLE_VALUE;
    DWORD m_processed = 0;
    DWORD m_total = 0;
};
