// The tool's terminal as a phone: raw keys in, a screen redrawn in place out. While a Terminal lives the
// terminal is in raw mode on its alternate screen; it is put back as it was when the Terminal ends.
#pragma once

#include <chrono>
#include <string>

namespace phone {

struct TerminalKey {
    enum Kind { None, Quit, LeftSoft, RightSoft, Up, Down, Left, Right, Action, Back, Text } kind = None;
    std::string text; // for Text: one UTF-8 character
};

class Terminal {
public:
    // Whether standard input and output are both a terminal.
    static bool Available();

    Terminal();
    ~Terminal();
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    // The next key, or None when none came within the time (or a signal ended the wait).
    TerminalKey Read(std::chrono::milliseconds timeout);
    // Replaces what the terminal shows.
    void Show(const std::string& text);
    // Whether a terminating signal (hang-up, termination, interruption) has come.
    bool Stopped() const;
};

} // namespace phone
