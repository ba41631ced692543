#include "backup/BackupFile.h"

#include "app/Program.h"
#include "backup/BackupOptions.h"
#include "ui/PlatformType.h"
#include "ui/TextEntryDialog.h"

#include "ids.h"

#include <commdlg.h>
#include <strsafe.h>

namespace {

constexpr WCHAR kTypedPath[] = TEXT("\\My Documents\\Zelkova Backup.qvb");
constexpr WCHAR kBackupName[] = TEXT("Zelkova Backup.qvb");
constexpr WCHAR kExportName[] = TEXT("Zelkova Export.csv");
// Each filter is its text and its pattern, each ending with a null character, then an empty string.
constexpr WCHAR kBackupFilter[] = TEXT("Zelkova Backups (*.qvb)\0*.qvb\0");
constexpr WCHAR kExportFilter[] = TEXT("CSV Files (*.csv)\0*.csv\0");
constexpr int kFileBufferLength = MAX_PATH + 1;
constexpr int kTitleLength = 64;

// The Smartphone of version 5.1 gets no open dialog: the user types the path.
HRESULT TypesThePath(bool* typed)
{
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExW(&version))
        return E_FAIL;
    *typed = version.dwMajorVersion == 5 && version.dwMinorVersion == 1 && GetPlatformType() == kPlatformSmartphone;
    return S_OK;
}

// The system's open (restore) or save dialog, preset with the mode's file name.
HRESULT RunFileDialog(HWND owner, DWORD mode, LPWSTR file)
{
    bool exporting = mode == kExportMode;
    StringCchCopyW(file, kFileBufferLength, exporting ? kExportName : kBackupName);
    WCHAR title[kTitleLength] = {};
    LoadStringW(g_program.resources, IDS_BACKUP_FILE_TITLE, title, kTitleLength);
    OPENFILENAMEW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = exporting ? kExportFilter : kBackupFilter;
    request.lpstrFile = file;
    request.nMaxFile = kFileBufferLength;
    request.lpstrTitle = title;
    request.lpstrDefExt = exporting ? TEXT(".csv") : TEXT(".qvb");
    BOOL chosen;
    if (mode == kRestoreMode) {
        request.Flags = OFN_FILEMUSTEXIST;
        chosen = GetOpenFileNameW(&request);
    } else {
        request.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
        chosen = GetSaveFileNameW(&request);
    }
    return chosen ? S_OK : E_FAIL;
}

} // namespace

HRESULT ChooseBackupFile(HWND owner, DWORD mode, LPWSTR buffer, int capacity)
{
    if (mode == kRestoreMode) {
        bool typed = false;
        if (FAILED(TypesThePath(&typed)))
            return E_FAIL;
        if (typed) {
            TextEntryDialog entry(IDS_BACKUP_FILE_TITLE, FALSE, kTypedPath);
            if (RunDialog(IDD_TEXT_ENTRY, owner, entry) != IDOK)
                return E_FAIL;
            return StringCchCopyW(buffer, capacity, entry.Text());
        }
    }
    WCHAR file[kFileBufferLength] = {};
    if (FAILED(RunFileDialog(owner, mode, file)))
        return E_FAIL;
    return StringCchCopyW(buffer, capacity, file);
}
