// This process's message endpoint: a listener thread that takes the requests of other device processes
// (messages posted or sent to this process's windows, activation, notification callbacks, idle queries).
// Each connection is served by a thread of its own, which stands in for the remote caller: a sent message
// reaches the window's thread as a send from another thread would, and the remote caller gets the result.
#pragma once

#include "device/UniqueFd.h"

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

namespace device {

class Endpoint {
public:
    // Null when the socket cannot be made.
    static std::unique_ptr<Endpoint> Open(const std::filesystem::path& path);
    // Stops listening, lets the requests being served send their replies (a request whose handling ends the
    // process, such as a remotely chosen Exit, is still answered), and removes the socket.
    ~Endpoint();
    Endpoint(const Endpoint&) = delete;
    Endpoint& operator=(const Endpoint&) = delete;

private:
    Endpoint(std::filesystem::path path, UniqueFd listener);
    void Listen();

    // The requests being served, shared with their threads, which may outlive a reply that takes too long.
    struct InFlight {
        std::mutex mutex;
        std::condition_variable finished;
        int count = 0;
    };

    std::filesystem::path m_path;
    UniqueFd m_listener;
    std::shared_ptr<InFlight> m_inFlight = std::make_shared<InFlight>();
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

} // namespace device
