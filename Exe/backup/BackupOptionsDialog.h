// The options of one backup screen action: which folders take part and, for a backup, whether the texts
// leave the phone once saved, for a restore, whether the folders are emptied first (asked again before it
// is confirmed). Done stays grey while no folder is chosen.
#pragma once

#include "backup/BackupOptions.h"
#include "ui/DialogBase.h"

class BackupOptionsDialog : public DialogBase {
public:
    // Shows and changes the options of options->mode.
    explicit BackupOptionsDialog(BackupOptions* options) : m_options(options) {}

    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;

private:
    HRESULT OnInitDialog();
    void EnableDone();
    // The options from the boxes; false while the dialog stays open.
    bool OnDone();
    bool Checked(int id) const { return IsDlgButtonChecked(m_hwnd, id) == BST_CHECKED; }

    BackupOptions* m_options;
};
