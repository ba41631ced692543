// Files of the device's file system (fs/ of the device folder), written through to the host at once.
// Sharing modes hold between all handles of the device, in this and other processes (FileSharing.h).
// Left out: overlapped I/O (as on the device), directory handles, file times and attributes other than
// directory and read-only.
#include <windows.h>

#include "device/FileSharing.h"
#include "device/Handles.h"
#include "device/HostErrors.h"
#include "device/Paths.h"
#include "device/UniqueFd.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;

struct Opened {
    device::UniqueFd fd;
    device::UniqueFd sharing; // holds the handle's sharing locks (FileSharing.h)
    bool existed = false;
    DWORD error = ERROR_SUCCESS;
};

class FileObject : public device::KernelObject {
public:
    FileObject(Opened opened, DWORD access)
        : m_fd(std::move(opened.fd)), m_sharing(std::move(opened.sharing)), m_access(access)
    {
    }
    int Fd() const { return m_fd.Get(); }
    bool CanRead() const { return m_access & GENERIC_READ; }
    bool CanWrite() const { return m_access & GENERIC_WRITE; }

private:
    device::UniqueFd m_fd;
    device::UniqueFd m_sharing;
    DWORD m_access;
};

Opened Failed(DWORD error)
{
    Opened result;
    result.error = error;
    return result;
}

int HostMode(DWORD access, bool truncates)
{
    bool writes = (access & GENERIC_WRITE) || truncates;
    bool reads = (access & GENERIC_READ) || !writes;
    return reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY;
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// With a high half the distance is one signed 64-bit number; without, the low half alone is signed.
int64_t Distance(LONG low, const LONG* high)
{
    if (!high) return low;
    return static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*high)) << 32) |
                                static_cast<uint32_t>(low));
}

// Opens or creates the host file as the disposition says and takes the handle's sharing.
Opened OpenHostFile(const fs::path& path, DWORD access, DWORD share, DWORD disposition, DWORD attributes)
{
    bool creates = disposition == CREATE_NEW || disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS;
    bool truncates = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
    int mode = HostMode(access, truncates) | O_CLOEXEC;
    // Another handle may delete the file between our open and our turn at the sharing gate; then we start
    // over, as if we had come after the deletion.
    for (int attempt = 0; attempt < 8; ++attempt) {
        bool created = false;
        device::UniqueFd fd;
        if (creates) {
            fd = device::UniqueFd(open(path.c_str(), mode | O_CREAT | O_EXCL, 0666));
            created = bool(fd);
            if (!fd && errno != EEXIST) return Failed(device::Win32ErrorFromErrno(errno, path));
            if (!fd && disposition == CREATE_NEW) return Failed(ERROR_FILE_EXISTS);
        }
        if (!fd) {
            fd = device::UniqueFd(open(path.c_str(), mode));
            if (!fd && errno == ENOENT && creates) continue;
            if (!fd) return Failed(device::Win32ErrorFromErrno(errno, path));
        }
        struct stat opened, named;
        if (fstat(fd.Get(), &opened) != 0) return Failed(device::Win32ErrorFromErrno(errno, path));
        if (S_ISDIR(opened.st_mode)) return Failed(ERROR_ACCESS_DENIED);
        DWORD error = ERROR_SUCCESS;
        device::UniqueFd sharing = device::OpenSharingLock(opened, &error);
        if (!sharing) return Failed(error);
        device::SharingGate gate(sharing.Get());
        if (!gate.Held()) return Failed(ERROR_SHARING_VIOLATION);
        if (stat(path.c_str(), &named) != 0 || !SameFile(opened, named)) continue;
        if (DWORD refused = device::ClaimSharing(sharing.Get(), access, share)) return Failed(refused);
        if (truncates && !created && ftruncate(fd.Get(), 0) != 0)
            return Failed(device::Win32ErrorFromErrno(errno, path));
        if (created && (attributes & FILE_ATTRIBUTE_READONLY)) fchmod(fd.Get(), 0444);
        Opened result;
        result.fd = std::move(fd);
        result.sharing = std::move(sharing);
        result.existed = !created;
        return result;
    }
    return Failed(ERROR_SHARING_VIOLATION);
}

std::shared_ptr<FileObject> FindFile(HANDLE handle)
{
    auto file = device::FindHandleOf<FileObject>(handle);
    if (!file) SetLastError(ERROR_INVALID_HANDLE);
    return file;
}

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

} // namespace

HANDLE WINAPI CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE hTemplateFile)
{
    if (dwCreationDisposition < CREATE_NEW || dwCreationDisposition > TRUNCATE_EXISTING ||
        (dwCreationDisposition == TRUNCATE_EXISTING && !(dwDesiredAccess & GENERIC_WRITE))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    DWORD error = ERROR_SUCCESS;
    std::optional<fs::path> path = device::HostPath(lpFileName, &error);
    if (!path) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    Opened opened =
        OpenHostFile(*path, dwDesiredAccess, dwShareMode, dwCreationDisposition, dwFlagsAndAttributes);
    if (opened.error) {
        SetLastError(opened.error);
        return INVALID_HANDLE_VALUE;
    }
    bool existed = opened.existed;
    HANDLE handle = device::AddHandle(
        std::make_shared<FileObject>(std::move(opened), dwDesiredAccess & (GENERIC_READ | GENERIC_WRITE)));
    bool reportsExisting = dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS;
    SetLastError(reportsExisting && existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                     LPOVERLAPPED lpOverlapped)
{
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
    auto file = FindFile(hFile);
    if (!file) return FALSE;
    if (lpOverlapped || (!lpBuffer && nNumberOfBytesToRead)) return Fail(ERROR_INVALID_PARAMETER);
    if (!file->CanRead()) return Fail(ERROR_ACCESS_DENIED);
    auto* buffer = static_cast<char*>(lpBuffer);
    DWORD done = 0;
    bool failed = false;
    while (done < nNumberOfBytesToRead) {
        ssize_t count = read(file->Fd(), buffer + done, nNumberOfBytesToRead - done);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) { // at the end of the file, success with what was there
            failed = count < 0;
            break;
        }
        done += static_cast<DWORD>(count);
    }
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = done;
    return failed ? Fail(ERROR_READ_FAULT) : TRUE;
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                      LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped)
{
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
    auto file = FindFile(hFile);
    if (!file) return FALSE;
    if (lpOverlapped || (!lpBuffer && nNumberOfBytesToWrite)) return Fail(ERROR_INVALID_PARAMETER);
    if (!file->CanWrite()) return Fail(ERROR_ACCESS_DENIED);
    const auto* buffer = static_cast<const char*>(lpBuffer);
    DWORD done = 0;
    while (done < nNumberOfBytesToWrite) {
        ssize_t count = write(file->Fd(), buffer + done, nNumberOfBytesToWrite - done);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) {
            if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = done;
            return Fail(errno == ENOSPC || errno == EDQUOT ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
        }
        done += static_cast<DWORD>(count);
    }
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = done;
    return TRUE;
}

DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                            DWORD dwMoveMethod)
{
    auto file = FindFile(hFile);
    if (!file) return INVALID_SET_FILE_POINTER;
    int64_t distance = Distance(lDistanceToMove, lpDistanceToMoveHigh);
    int64_t base = 0;
    struct stat info;
    switch (dwMoveMethod) {
    case FILE_BEGIN: break;
    case FILE_CURRENT: base = lseek(file->Fd(), 0, SEEK_CUR); break;
    case FILE_END:
        if (fstat(file->Fd(), &info) != 0) {
            SetLastError(ERROR_INVALID_HANDLE);
            return INVALID_SET_FILE_POINTER;
        }
        base = info.st_size;
        break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return INVALID_SET_FILE_POINTER;
    }
    int64_t target = base + distance;
    if (base < 0 || target < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    if (lseek(file->Fd(), target, SEEK_SET) < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (lpDistanceToMoveHigh) *lpDistanceToMoveHigh = static_cast<LONG>(target >> 32);
    SetLastError(NO_ERROR); // a position whose low half is all ones is no failure
    return static_cast<DWORD>(target);
}

DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh)
{
    auto file = FindFile(hFile);
    struct stat info;
    if (!file) return INVALID_FILE_SIZE;
    if (fstat(file->Fd(), &info) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    uint64_t size = static_cast<uint64_t>(info.st_size);
    if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
    SetLastError(NO_ERROR);
    return static_cast<DWORD>(size);
}

BOOL WINAPI FlushFileBuffers(HANDLE hFile)
{
    auto file = FindFile(hFile);
    if (!file) return FALSE;
    if (!file->CanWrite()) return Fail(ERROR_ACCESS_DENIED);
    if (fsync(file->Fd()) != 0) return Fail(ERROR_WRITE_FAULT);
    return TRUE;
}

BOOL WINAPI DeleteFileW(LPCWSTR lpFileName)
{
    DWORD error = ERROR_SUCCESS;
    std::optional<fs::path> path = device::HostPath(lpFileName, &error);
    if (!path) return Fail(error);
    struct stat info;
    if (lstat(path->c_str(), &info) != 0) return Fail(device::Win32ErrorFromErrno(errno, *path));
    if (S_ISDIR(info.st_mode) || (S_ISREG(info.st_mode) && !(info.st_mode & S_IWUSR)))
        return Fail(ERROR_ACCESS_DENIED); // folders go with RemoveDirectory; read-only files stay
    if (S_ISREG(info.st_mode)) {
        // As on the device, an open file cannot be deleted, whatever its sharing.
        device::UniqueFd sharing = device::OpenSharingLock(info, &error);
        if (!sharing) return Fail(error);
        device::SharingGate gate(sharing.Get());
        if (!gate.Held() || device::IsOpenElsewhere(sharing.Get())) return Fail(ERROR_SHARING_VIOLATION);
        if (unlink(path->c_str()) != 0) return Fail(device::Win32ErrorFromErrno(errno, *path));
        device::RemoveSharingLock(info);
        return TRUE;
    }
    if (unlink(path->c_str()) != 0) // a link placed on the device by its tools
        return Fail(device::Win32ErrorFromErrno(errno, *path));
    return TRUE;
}

DWORD WINAPI GetFileAttributesW(LPCWSTR lpFileName)
{
    DWORD error = ERROR_SUCCESS;
    std::optional<fs::path> path = device::HostPath(lpFileName, &error);
    struct stat info;
    if (!path) {
        SetLastError(error);
        return INVALID_FILE_ATTRIBUTES;
    }
    if (stat(path->c_str(), &info) != 0) {
        SetLastError(device::Win32ErrorFromErrno(errno, *path));
        return INVALID_FILE_ATTRIBUTES;
    }
    if (S_ISDIR(info.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
    return FILE_ATTRIBUTE_ARCHIVE | ((info.st_mode & S_IWUSR) ? 0 : FILE_ATTRIBUTE_READONLY);
}

BOOL WINAPI CreateDirectoryW(LPCWSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes)
{
    DWORD error = ERROR_SUCCESS;
    std::optional<fs::path> path = device::HostPath(lpPathName, &error);
    if (!path) return Fail(error);
    if (mkdir(path->c_str(), 0777) != 0)
        return Fail(errno == EEXIST ? ERROR_ALREADY_EXISTS : device::Win32ErrorFromErrno(errno, *path));
    return TRUE;
}
