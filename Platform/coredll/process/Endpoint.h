// This process's message endpoint: a listener thread that takes the requests of other device processes
// (messages posted or sent to this process's windows, activation, notification callbacks, idle queries).
// Each connection is served by a thread of its own, which stands in for the remote caller: a sent message
// reaches the window's thread as a send from another thread would, and the remote caller gets the result.
#pragma once

#include "device/UniqueFd.h"

#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>

namespace device {

class Endpoint {
public:
    // Null when the socket cannot be made.
    static std::unique_ptr<Endpoint> Open(const std::filesystem::path& path);
    ~Endpoint(); // stops listening and removes the socket
    Endpoint(const Endpoint&) = delete;
    Endpoint& operator=(const Endpoint&) = delete;

private:
    Endpoint(std::filesystem::path path, UniqueFd listener);
    void Listen();

    std::filesystem::path m_path;
    UniqueFd m_listener;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

} // namespace device
