#include "process/Socket.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>

namespace device {

namespace {

// A socket address for the path. A path too long for the address is reached through the folder's open
// descriptor (/proc/self/fd/N/name), which the caller keeps open while it binds or connects.
bool AddressOf(const std::filesystem::path& path, sockaddr_un* address, UniqueFd* folder)
{
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    std::string text = path.string();
    if (text.size() >= sizeof address->sun_path) {
        *folder = UniqueFd(open(path.parent_path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!*folder)
            return false;
        text = "/proc/self/fd/" + std::to_string(folder->Get()) + "/" + path.filename().string();
        if (text.size() >= sizeof address->sun_path)
            return false;
    }
    std::memcpy(address->sun_path, text.c_str(), text.size() + 1);
    return true;
}

} // namespace

UniqueFd ListenAt(const std::filesystem::path& path)
{
    sockaddr_un address;
    UniqueFd folder;
    if (!AddressOf(path, &address, &folder))
        return UniqueFd();
    UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd)
        return fd;
    unlink(address.sun_path);
    if (bind(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd.Get(), 64) != 0)
        return UniqueFd();
    return fd;
}

UniqueFd ConnectTo(const std::filesystem::path& path, std::chrono::milliseconds bound, bool* refused)
{
    if (refused)
        *refused = false;
    sockaddr_un address;
    UniqueFd folder;
    if (!AddressOf(path, &address, &folder))
        return UniqueFd();
    UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd)
        return fd;
    // A local connect waits while the listener's backlog is full for as long as sends may wait.
    timeval limit{static_cast<time_t>(bound.count() / 1000), static_cast<suseconds_t>(bound.count() % 1000 * 1000)};
    setsockopt(fd.Get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    int rc;
    do {
        rc = connect(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0 && refused)
        *refused = errno == ECONNREFUSED;
    return rc == 0 ? std::move(fd) : UniqueFd();
}

bool SendAll(int fd, const void* data, size_t size)
{
    auto bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t sent = send(fd, bytes, size, MSG_NOSIGNAL); // a reader that went away is no reason to die
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        bytes += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

bool ReceiveAll(int fd, void* data, size_t size, const std::function<bool()>& keepWaiting)
{
    constexpr int kSliceMs = 100;
    auto bytes = static_cast<char*>(data);
    while (size > 0) {
        pollfd waited{fd, POLLIN, 0};
        int ready = poll(&waited, 1, kSliceMs);
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready <= 0) {
            if (!keepWaiting())
                return false;
            continue;
        }
        ssize_t got = recv(fd, bytes, size, MSG_DONTWAIT);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got <= 0)
            return false;
        bytes += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

} // namespace device
