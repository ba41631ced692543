// Unix stream sockets named by a file path, for the processes' message endpoints.
#pragma once

#include "device/UniqueFd.h"

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>

namespace device {

// Listens at the path, replacing a file left there by an ended process. Invalid on failure.
UniqueFd ListenAt(const std::filesystem::path& path);
// Invalid when nobody listens there (*refused then tells whether a socket file was found), or when the
// listener does not take the connection within the bound, which then also bounds each send on it.
UniqueFd ConnectTo(const std::filesystem::path& path, std::chrono::milliseconds bound, bool* refused = nullptr);

// Whole buffers or nothing; false when the other side went away, a bound passed, or on any other failure.
bool SendAll(int fd, const void* data, size_t size);
// Waits for the bytes while keepWaiting, asked every little while, says so.
bool ReceiveAll(int fd, void* data, size_t size, const std::function<bool()>& keepWaiting);

} // namespace device
