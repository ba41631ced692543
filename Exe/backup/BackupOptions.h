// What one action of the backup screen does: filled by the screen and its options dialog, read by the job.
#pragma once

#include "store/SmsRecord.h"

enum BackupMode : DWORD { kBackupMode = 0, kRestoreMode = 1, kExportMode = 2 };

// The longest path of a backup or export file, in characters.
constexpr int kBackupPathLength = MAX_PATH;

struct BackupOptions {
    DWORD mode = kBackupMode;
    LPCWSTR path = nullptr; // the backup or export file; owned by the caller
    DWORD includeReceived = 1;
    DWORD includeSent = 1;
    DWORD deleteAfterCopying = 0; // backup: each message leaves the store once its record is written
    DWORD emptyBeforeRestore = 1; // restore: the selected folders are emptied first

    // Whether messages of that kind take part.
    bool Includes(DWORD kind) const
    {
        return (kind == kReceivedFolder && includeReceived) || (kind == kSentFolder && includeSent);
    }
};
