// The foreground screen kept current for the page: looked at every so often (and at once after input), and
// when it changed drawn anew as a PNG under a new version number, which waiting readers are woken for.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace phone {

struct ShownScreen {
    uint64_t version = 0;
    std::string png;
    int width = 0; // of the picture, in pixels
    int height = 0;
    std::string title;
    struct Key {
        std::string label;
        bool enabled = true;
    };
    std::vector<Key> softKeys;
    bool menuOpen = false;
    bool busy = false;
    std::string text;    // the screen as `phone screen` shows it
    std::string problem; // why no screen is shown ("no window is on the screen"), or empty
};

class LiveScreen {
public:
    LiveScreen();
    ~LiveScreen();
    LiveScreen(const LiveScreen&) = delete;
    LiveScreen& operator=(const LiveScreen&) = delete;

    // The screen once its version is past `seen`, or as it is when `wait` has passed first.
    ShownScreen After(uint64_t seen, std::chrono::milliseconds wait);
    // Look again now: input was given.
    void Refresh();
    // Stops looking and lets every waiting reader go.
    void Stop();

private:
    void Run();
    void Look();

    std::mutex m_mutex;
    std::condition_variable m_changed; // a new version
    std::condition_variable m_wake;    // look now, or stop
    bool m_stopping = false;
    bool m_poked = false;
    std::string m_scene; // what the last look saw, to tell a change
    ShownScreen m_shown;
    std::thread m_thread;
};

} // namespace phone
