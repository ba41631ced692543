// The sharing modes of open device files, kept as open-file-description locks (F_OFD_SETLK) on a lock
// file that stands for the file: <device>/run/locks/<host device>-<inode>. Each handle keeps that lock
// file open; the locks hold between handles of one process and between processes, and vanish with the
// handle or with a process that dies, so nothing stale is left behind. (The file's own descriptor would
// not do: a read-only descriptor cannot hold an exclusive lock, a write-only one not a shared lock.)
#pragma once

#include "device/UniqueFd.h"

#include <windef.h>

#include <sys/stat.h>

namespace device {

// The lock file of the host file with that identity, opened (and made if need be); an invalid
// descriptor with a Win32 error in *error when that fails.
UniqueFd OpenSharingLock(const struct stat& file, DWORD* error);

// Removes the lock file of a deleted file. Gate held.
void RemoveSharingLock(const struct stat& file);

// Serialises sharing decisions on one file: held while a handle checks and takes its sharing, and while
// the file is deleted.
class SharingGate {
public:
    explicit SharingGate(int lockFd);
    ~SharingGate();
    SharingGate(const SharingGate&) = delete;
    SharingGate& operator=(const SharingGate&) = delete;

    bool Held() const { return m_held; }

private:
    int m_lockFd;
    bool m_held;
};

// Takes the sharing of a new handle (access: GENERIC_READ/GENERIC_WRITE, share: FILE_SHARE_READ/
// FILE_SHARE_WRITE): ERROR_SHARING_VIOLATION when it conflicts with a handle already open. A handle
// without read or write access (query access) neither conflicts nor restricts others. Gate held.
DWORD ClaimSharing(int lockFd, DWORD access, DWORD share);

// Whether any other handle has the file open. Gate held.
bool IsOpenElsewhere(int lockFd);

} // namespace device
