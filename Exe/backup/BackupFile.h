// Choosing the file of a backup, restore or export.
#pragma once

#include <windows.h>

// The path the user chose, over owner, for an action of that mode (BackupOptions.h), into buffer of
// capacity characters. A backup or an export is saved through the system's save dialog, which asks before
// replacing a file; a restore opens an existing file through the open dialog, except on a Smartphone at
// version 5.1, where the path is typed (and checked only when the volume is mounted). E_FAIL when the user
// cancels or the dialog fails; the copy's failure when the path doesn't fit the buffer.
HRESULT ChooseBackupFile(HWND owner, DWORD mode, LPWSTR buffer, int capacity);
