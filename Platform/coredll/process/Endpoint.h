// This process's message endpoint: a listener thread that takes the requests of other device processes
// (messages posted or sent to this process's windows, activation, notification callbacks, idle and
// automation requests). The listener reads every connection's frame itself, never waiting on one, and checks
// it (process/Frames.h); a connection that has not delivered its whole frame within a bound is dropped, and
// so is the oldest one when too many are being read. Each request that passes is carried out by a thread of
// its own, which stands in for the remote caller: a sent message reaches the window's thread as a send from
// another thread would, and the remote caller gets the result. A request that finds every such thread busy
// is answered ERROR_BUSY.
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
    // The most connections being read, and requests being carried out, at once.
    static constexpr size_t kMaxReading = 64;
    static constexpr int kMaxCarrying = 32;

    // Null when the socket cannot be made.
    static std::unique_ptr<Endpoint> Open(const std::filesystem::path& path);
    // Stops listening, lets the requests being served send their replies (a request whose handling ends the
    // process, such as a remotely chosen Exit, is still answered), and removes the socket.
    ~Endpoint();
    Endpoint(const Endpoint&) = delete;
    Endpoint& operator=(const Endpoint&) = delete;

private:
    Endpoint(std::filesystem::path path, UniqueFd listener, UniqueFd wake);
    void Listen();

    // The requests being carried out, shared with their threads, which may outlive a reply that takes too long.
    struct InFlight {
        std::mutex mutex;
        std::condition_variable finished;
        int count = 0;
    };
    struct Reading;
    void Carry(Reading&& reading);

    std::filesystem::path m_path;
    UniqueFd m_listener;
    UniqueFd m_wake; // written to stop the listener
    std::shared_ptr<InFlight> m_inFlight = std::make_shared<InFlight>();
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

} // namespace device
