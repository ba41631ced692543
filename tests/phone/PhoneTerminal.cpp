#include "phone/PhoneTerminal.h"

#include <chrono>
#include <csignal>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace phone_testing {

namespace {

constexpr auto kBound = std::chrono::seconds(60);

} // namespace

bool PhoneTerminal::Available()
{
    int master = -1, slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        return false;
    close(master);
    close(slave);
    return true;
}

PhoneTerminal::PhoneTerminal(const std::vector<std::string>& arguments)
{
    winsize size{40, 100, 0, 0};
    m_pid = forkpty(&m_master, nullptr, nullptr, &size);
    if (m_pid == 0) {
        std::vector<char*> argv{const_cast<char*>("phone")};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(PHONE_PROGRAM, argv.data());
        _exit(127);
    }
}

PhoneTerminal::~PhoneTerminal()
{
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    if (m_master >= 0)
        close(m_master);
}

bool PhoneTerminal::ReadSome(int timeoutMs)
{
    pollfd in{m_master, POLLIN, 0};
    if (poll(&in, 1, timeoutMs) <= 0)
        return false;
    char buffer[4096];
    ssize_t got = read(m_master, buffer, sizeof buffer);
    if (got <= 0)
        return false;
    m_seen.append(buffer, static_cast<size_t>(got));
    return true;
}

bool PhoneTerminal::WaitFor(const std::string& text)
{
    auto deadline = std::chrono::steady_clock::now() + kBound;
    for (;;) {
        size_t found = m_seen.find(text, m_searchFrom);
        if (found != std::string::npos) {
            m_searchFrom = found + text.size();
            return true;
        }
        if (m_pid <= 0 || std::chrono::steady_clock::now() > deadline)
            return false;
        if (!ReadSome(100) && waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            m_pid = -1; // ended; what it showed last is read above
            while (ReadSome(0)) {
            }
        }
    }
}

void PhoneTerminal::Write(const std::string& keys)
{
    ssize_t written = write(m_master, keys.data(), keys.size());
    (void)written;
}

int PhoneTerminal::Wait()
{
    auto deadline = std::chrono::steady_clock::now() + kBound;
    while (m_pid > 0 && std::chrono::steady_clock::now() < deadline) {
        ReadSome(50); // a tool blocked on a full terminal would never end
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
    }
    return -1;
}

} // namespace phone_testing
