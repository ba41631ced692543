// Unix stream sockets named by a file path, for the processes' message endpoints.
#pragma once

#include "device/UniqueFd.h"

#include <cstddef>
#include <filesystem>

namespace device {

// Listens at the path, replacing a file left there by an ended process. Invalid on failure.
UniqueFd ListenAt(const std::filesystem::path& path);
// Invalid when nobody listens there.
UniqueFd ConnectTo(const std::filesystem::path& path);

// Whole buffers or nothing; false when the other side went away or on any other failure.
bool SendAll(int fd, const void* data, size_t size);
bool ReceiveAll(int fd, void* data, size_t size);

} // namespace device
