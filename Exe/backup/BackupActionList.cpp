#include "backup/BackupActionList.h"

#include "app/Program.h"
#include "backup/BackupOptions.h"

#include "ids.h"

namespace {

struct Action {
    BackupMode mode;
    WORD iconId;
    UINT titleId;
    UINT subtitleId;
};

constexpr Action kActions[kBackupActionCount] = {
    {kBackupMode, IDI_ACTION_BACKUP, IDS_ACTION_BACKUP, IDS_ACTION_BACKUP_NOTE},
    {kRestoreMode, IDI_ACTION_RESTORE, IDS_ACTION_RESTORE, IDS_ACTION_RESTORE_NOTE},
    {kExportMode, IDI_ACTION_EXPORT, IDS_ACTION_EXPORT, IDS_ACTION_EXPORT_NOTE},
};

constexpr int kTextCapacity = 128;

} // namespace

BackupActionList::~BackupActionList()
{
    for (HICON& icon : g_program.backupIcons) {
        if (icon)
            DestroyIcon(icon);
        icon = nullptr;
    }
}

HRESULT BackupActionList::Create(HWND parent, int id)
{
    if (FAILED(OwnerDrawList::Create(parent, id, 0)) || FAILED(LoadIcons()) || FAILED(Fill()))
        return E_FAIL;
    return S_OK;
}

HRESULT BackupActionList::LoadIcons()
{
    for (int row = 0; row < kBackupActionCount; ++row) {
        HICON& icon = g_program.backupIcons[row];
        icon = static_cast<HICON>(LoadImageW(g_program.resources, MAKEINTRESOURCEW(kActions[row].iconId), IMAGE_ICON,
                                             IconWidth(), IconHeight(), 0));
        if (!icon || ImageList_AddIcon(Images(), icon) != row)
            return E_FAIL;
    }
    return S_OK;
}

HRESULT BackupActionList::Fill()
{
    HWND list = Window();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    HRESULT result = S_OK;
    for (int row = 0; row < kBackupActionCount && SUCCEEDED(result); ++row) {
        WCHAR title[kTextCapacity] = {};
        LoadStringW(g_program.resources, kActions[row].titleId, title, kTextCapacity);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = row;
        item.pszText = title;
        item.iImage = row;
        item.lParam = kActions[row].mode;
        if (SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) != row)
            result = E_FAIL;
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    if (FAILED(result))
        return result;
    SelectRow(0);
    SetFocus(list);
    return S_OK;
}

HRESULT BackupActionList::Activate(int row)
{
    SendMessageW(GetParent(Window()), WM_RUN_BACKUP_ACTION, row, 0);
    return S_OK;
}

void BackupActionList::DrawRow(const DRAWITEMSTRUCT& item)
{
    int row = static_cast<int>(item.itemID);
    if (row < 0 || row >= kBackupActionCount)
        return;
    WCHAR title[kTextCapacity] = {}, subtitle[kTextCapacity] = {};
    LoadStringW(g_program.resources, kActions[row].titleId, title, kTextCapacity);
    LoadStringW(g_program.resources, kActions[row].subtitleId, subtitle, kTextCapacity);
    DrawTwoLineRow(item, title, subtitle, row, false);
}
