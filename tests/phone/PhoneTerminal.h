// The device tool run on a terminal of its own (a pseudo-terminal), as a user runs 'phone attach'.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace phone_testing {

class PhoneTerminal {
public:
    // Whether this machine can make pseudo-terminals at all (a bare chroot without /dev/pts cannot).
    static bool Available();
    // Starts PHONE_PROGRAM with these arguments on a new pseudo-terminal.
    explicit PhoneTerminal(const std::vector<std::string>& arguments);
    // Ends the tool if it still runs.
    ~PhoneTerminal();
    PhoneTerminal(const PhoneTerminal&) = delete;
    PhoneTerminal& operator=(const PhoneTerminal&) = delete;

    // Reads what the tool shows until `text` has appeared since the last call found its text (or since the
    // start); false when it does not within a generous bound or the tool ended.
    bool WaitFor(const std::string& text);
    void Write(const std::string& keys);
    // Waits for the tool to end; its exit code, or -1 when it did not end within a generous bound.
    int Wait();
    // Everything the tool showed, for failure messages.
    const std::string& Seen() const { return m_seen; }

private:
    bool ReadSome(int timeoutMs);

    int m_master = -1;
    pid_t m_pid = -1;
    std::string m_seen;
    size_t m_searchFrom = 0;
};

} // namespace phone_testing
