#include "resource/ImageMemory.h"

#include <winerror.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace device {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    operator int() const { return m_fd; }

private:
    int m_fd;
};

DWORD OpenError(int error, const std::filesystem::path& path)
{
    std::error_code ignored;
    switch (error) {
    case ENOENT: // as on the device: a missing folder on the way is a missing path
        return std::filesystem::is_directory(path.parent_path(), ignored) ? ERROR_FILE_NOT_FOUND
                                                                          : ERROR_PATH_NOT_FOUND;
    case ENOTDIR:
    case ELOOP: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM: return ERROR_ACCESS_DENIED;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    default: return ERROR_READ_FAULT;
    }
}

int LowMemoryFlag()
{
#ifdef MAP_32BIT
    return MAP_32BIT;
#else
    return 0;
#endif
}

} // namespace

std::unique_ptr<ImageMemory> ImageMemory::Read(const std::filesystem::path& path, DWORD* error)
{
    FileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd < 0) {
        *error = OpenError(errno, path);
        return nullptr;
    }
    struct stat info {
    };
    if (fstat(fd, &info) != 0) {
        *error = ERROR_READ_FAULT;
        return nullptr;
    }
    if (!S_ISREG(info.st_mode)) {
        *error = ERROR_ACCESS_DENIED; // a folder, as the device says when asked to open one as a file
        return nullptr;
    }

    size_t mapped = std::max<size_t>(size_t(info.st_size), 1);
    void* base =
        mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | LowMemoryFlag(), -1, 0);
    if (base == MAP_FAILED) {
        *error = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    std::unique_ptr<ImageMemory> memory(new ImageMemory(static_cast<BYTE*>(base), mapped, 0));

    // A file that shrinks meanwhile yields what is there; the reader then finds it truncated.
    while (memory->m_size < size_t(info.st_size)) {
        ssize_t n = pread(fd, memory->m_base + memory->m_size, size_t(info.st_size) - memory->m_size,
                          off_t(memory->m_size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *error = ERROR_READ_FAULT;
            return nullptr;
        }
        if (n == 0)
            break;
        memory->m_size += size_t(n);
    }
    // Read-only from now on, as resources are on the device.
    mprotect(base, mapped, PROT_READ);
    return memory;
}

ImageMemory::~ImageMemory()
{
    munmap(m_base, m_mapped);
}

} // namespace device
