#include "backup/BackupActionList.h"

#include "app/Program.h"
#include "backup/BackupOptions.h"

#include "ids.h"

namespace {

constexpr ResourceRow kActions[kBackupActionCount] = {
    {IDI_ACTION_BACKUP, IDS_ACTION_BACKUP, IDS_ACTION_BACKUP_NOTE, kBackupMode},
    {IDI_ACTION_RESTORE, IDS_ACTION_RESTORE, IDS_ACTION_RESTORE_NOTE, kRestoreMode},
    {IDI_ACTION_EXPORT, IDS_ACTION_EXPORT, IDS_ACTION_EXPORT_NOTE, kExportMode},
};

} // namespace

BackupActionList::BackupActionList() : ResourceRowList(kActions, g_program.backupIcons, kBackupActionCount) {}

HRESULT BackupActionList::Activate(int row)
{
    SendMessageW(GetParent(Window()), WM_RUN_BACKUP_ACTION, row, 0);
    return S_OK;
}
