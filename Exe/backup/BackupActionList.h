// The rows of the backup screen: back up, restore, export, each an icon over a title and a subtitle. A row's
// item data is the mode of its action; activating a row tells the screen (WM_RUN_BACKUP_ACTION).
#pragma once

#include "ui/ResourceRowList.h"

// Sent to the list's parent when a row is activated, with the row index as wParam.
constexpr UINT WM_RUN_BACKUP_ACTION = WM_USER + 4;

class BackupActionList : public ResourceRowList {
public:
    BackupActionList();

    HRESULT Activate(int row) override;
};
