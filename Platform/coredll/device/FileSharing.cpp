#include "device/FileSharing.h"

#include "device/Device.h"
#include "device/HostErrors.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>

namespace device {
namespace fs = std::filesystem;

namespace {

// One lock byte per fact about the open handles of a file; each handle holds a shared lock on the bytes
// that describe it, so "does anyone else ..." is "would an exclusive lock on that byte conflict".
enum LockByte : off_t { kGate, kOpen, kReading, kWriting, kDenyingRead, kDenyingWrite };

bool Lock(int fd, LockByte byte, short type, int command)
{
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = byte;
    lock.l_len = 1;
    while (fcntl(fd, command, &lock) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

bool HeldByOthers(int fd, LockByte byte)
{
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = byte;
    lock.l_len = 1;
    if (fcntl(fd, F_OFD_GETLK, &lock) != 0) return true; // unknown: the careful answer
    return lock.l_type != F_UNLCK;
}

fs::path LockFile(const struct stat& file)
{
    char name[48];
    std::snprintf(name, sizeof name, "%llx-%llx", static_cast<unsigned long long>(file.st_dev),
                  static_cast<unsigned long long>(file.st_ino));
    return RunDir() / "locks" / name;
}

} // namespace

UniqueFd OpenSharingLock(const struct stat& file, DWORD* error)
{
    fs::path path = LockFile(file);
    std::error_code ignored;
    fs::create_directories(path.parent_path(), ignored);
    UniqueFd fd(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
    if (!fd) *error = Win32ErrorFromErrno(errno, path);
    return fd;
}

void RemoveSharingLock(const struct stat& file)
{
    unlink(LockFile(file).c_str());
}

SharingGate::SharingGate(int lockFd) : m_lockFd(lockFd), m_held(Lock(lockFd, kGate, F_WRLCK, F_OFD_SETLKW)) {}

SharingGate::~SharingGate()
{
    if (m_held) Lock(m_lockFd, kGate, F_UNLCK, F_OFD_SETLK);
}

DWORD ClaimSharing(int lockFd, DWORD access, DWORD share)
{
    bool reads = access & GENERIC_READ, writes = access & GENERIC_WRITE;
    if (reads || writes) {
        bool sharesRead = share & FILE_SHARE_READ, sharesWrite = share & FILE_SHARE_WRITE;
        if ((reads && HeldByOthers(lockFd, kDenyingRead)) ||
            (writes && HeldByOthers(lockFd, kDenyingWrite)) ||
            (!sharesRead && HeldByOthers(lockFd, kReading)) ||
            (!sharesWrite && HeldByOthers(lockFd, kWriting)))
            return ERROR_SHARING_VIOLATION;
        if ((reads && !Lock(lockFd, kReading, F_RDLCK, F_OFD_SETLK)) ||
            (writes && !Lock(lockFd, kWriting, F_RDLCK, F_OFD_SETLK)) ||
            (!sharesRead && !Lock(lockFd, kDenyingRead, F_RDLCK, F_OFD_SETLK)) ||
            (!sharesWrite && !Lock(lockFd, kDenyingWrite, F_RDLCK, F_OFD_SETLK)))
            return ERROR_SHARING_VIOLATION;
    }
    return Lock(lockFd, kOpen, F_RDLCK, F_OFD_SETLK) ? ERROR_SUCCESS : ERROR_SHARING_VIOLATION;
}

bool IsOpenElsewhere(int lockFd)
{
    return HeldByOthers(lockFd, kOpen);
}

} // namespace device
