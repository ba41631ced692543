// The backup screen: back up the texts to a file, restore them from one, or export them as CSV. An action
// runs its options, the choice of the file and the progress screen, then offers to mail the new file or,
// after a restore, shows the texts in the messaging application. The options carry over from one action to
// the next of the same visit.
#pragma once

#include "backup/BackupActionList.h"
#include "backup/BackupOptions.h"
#include "ui/DialogBase.h"

class BackupScreenDialog : public DialogBase {
public:
    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;

    // Runs one action: E_FAIL when it was left before the job, or the job failed (the user was told).
    HRESULT RunBackupOperation(DWORD mode);

private:
    HRESULT OnInitDialog();
    void OfferMail(LPCWSTR path);

    BackupActionList m_actions;
    BackupOptions m_options;
};

// Runs the backup screen over owner: S_OK however it ended, as the feature was used.
HRESULT ShowBackupScreen(HWND owner);
