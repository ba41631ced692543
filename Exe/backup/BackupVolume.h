// The backup file: a database volume locked with the program's password, holding one database "SMS" with
// one record per message, newest first. The volume and the database are closed when the object goes.
#pragma once

#include <windows.h>
#include <windbase.h>

#include "store/Owners.h"
#include "store/SmsRecord.h"

class BackupVolume {
public:
    BackupVolume();
    ~BackupVolume() { Close(); }
    BackupVolume(const BackupVolume&) = delete;
    BackupVolume& operator=(const BackupVolume&) = delete;

    // Mounts the file: made anew (an existing file is replaced) when creating, else it must exist. E_FAIL
    // when it can't be mounted: missing, not a volume, or locked with another password.
    HRESULT Mount(LPCWSTR path, bool create);
    // Creates the database "SMS" with its properties and its one order, newest first.
    HRESULT CreateBackupDatabase();
    // Opens the database "SMS" in its own order, reading from its first record on.
    HRESULT OpenDatabase();

    // One new record for a whole message (BackupRecord.h): E_INVALIDARG for one that isn't, E_FAIL when
    // it can't be written. A record written is kept even if the program dies next.
    HRESULT WriteBackupRecord(const SmsRecord& message);

    HRESULT RecordCount(DWORD* count) const;
    // Back to the first record.
    HRESULT SeekFirst();
    // The record at the read position, which then moves on, in a buffer of the database service: S_OK,
    // S_FALSE when no record is left, E_FAIL when it can't be read.
    HRESULT ReadNextRecord(LocalPtr<BYTE>* buffer, WORD* count);

    // Closes the database and unmounts the volume, each if held.
    void Close();

private:
    CEGUID m_guid;
    HANDLE m_database = INVALID_HANDLE_VALUE;
};
