// The phone in a web page: an HTTP server on the loopback address whose every path starts with a random
// token, so only who was given the printed address can look at or drive the phone. It serves the page, the
// live screen (a PNG and its state, waited for until it changes) and runs the tool's commands the page
// plays the phone with.
#pragma once

#include "LiveScreen.h"

#include <memory>
#include <mutex>
#include <string>

namespace httplib {
class Server;
}

namespace phone {

class PageServer {
public:
    // Binds 127.0.0.1 at the port (0: one the system chooses); throws Failure when it cannot.
    PageServer(const std::string& deviceDir, int port);
    ~PageServer();
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

    // The page's address, with its token.
    std::string Url() const;
    // Serves until Stop is called (from another thread).
    void Serve();
    void Stop();

private:
    void Route();

    std::string m_deviceDir;
    std::string m_token;
    int m_port = 0;
    LiveScreen m_screen;
    std::mutex m_commands; // one at a time, so input arrives in the order it was given
    std::unique_ptr<httplib::Server> m_server;
};

} // namespace phone
