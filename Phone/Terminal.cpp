#include "Terminal.h"

#include <csignal>
#include <cstdio>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace phone {

namespace {

termios g_saved{};
volatile sig_atomic_t g_stopped = 0;
int g_pending = -1; // a byte read ahead that belongs to the next key

void OnStop(int) { g_stopped = 1; }

// One byte within the time; -1 when none came.
int ReadByte(int timeoutMs)
{
    if (int pending = g_pending; pending >= 0) {
        g_pending = -1;
        return pending;
    }
    pollfd in{STDIN_FILENO, POLLIN, 0};
    if (poll(&in, 1, timeoutMs) <= 0)
        return -1;
    unsigned char byte;
    return read(STDIN_FILENO, &byte, 1) == 1 ? byte : -1;
}

// What follows an escape: an arrow or function key, or nothing (the Escape key itself). Sequences of other
// keys are read to their end and give None.
TerminalKey Escaped()
{
    using K = TerminalKey;
    int first = ReadByte(30);
    if (first != '[' && first != 'O') {
        g_pending = first; // the Escape key, then the next key at once
        return {K::Back, {}};
    }
    std::string body;
    for (int c = ReadByte(30); c >= 0; c = ReadByte(30)) {
        body += static_cast<char>(c);
        if (c >= 0x40 && c <= 0x7E && !(body == "[")) // the final byte ("[[A" is the Linux console's F1)
            break;
    }
    if (body == "A") return {K::Up, {}};
    if (body == "B") return {K::Down, {}};
    if (body == "C") return {K::Right, {}};
    if (body == "D") return {K::Left, {}};
    if (body == "P" || body == "11~" || body == "[A") return {K::LeftSoft, {}};
    if (body == "Q" || body == "12~" || body == "[B") return {K::RightSoft, {}};
    return {};
}

} // namespace

bool Terminal::Available() { return isatty(STDIN_FILENO) && isatty(STDOUT_FILENO); }

Terminal::Terminal()
{
    tcgetattr(STDIN_FILENO, &g_saved);
    termios raw = g_saved;
    // Keys one by one, unechoed, with Ctrl-C and Ctrl-Q as keys; output keeps its line handling.
    raw.c_lflag &= ~(ICANON | ECHO | ISIG | IEXTEN);
    raw.c_iflag &= ~(IXON | ICRNL | BRKINT | INPCK | ISTRIP);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw);
    struct sigaction stop{};
    stop.sa_handler = OnStop; // no SA_RESTART: the wait for a key ends
    for (int signal : {SIGHUP, SIGTERM, SIGINT})
        sigaction(signal, &stop, nullptr);
    std::fputs("\x1b[?1049h\x1b[?25l", stdout); // the alternate screen, without a cursor
    std::fflush(stdout);
}

Terminal::~Terminal()
{
    std::fputs("\x1b[?25h\x1b[?1049l", stdout);
    std::fflush(stdout);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_saved);
    for (int signal : {SIGHUP, SIGTERM, SIGINT})
        std::signal(signal, SIG_DFL);
}

TerminalKey Terminal::Read(std::chrono::milliseconds timeout)
{
    using K = TerminalKey;
    int c = ReadByte(static_cast<int>(timeout.count()));
    switch (c) {
    case -1: return {};
    case 0x03:
    case 0x11: return {K::Quit, {}};
    case '\r':
    case '\n': return {K::Action, {}};
    case 0x7F:
    case 0x08: return {K::Back, {}};
    case 0x1B: return Escaped();
    case '[': return {K::LeftSoft, {}};
    case ']': return {K::RightSoft, {}};
    }
    if (c < 0x20)
        return {};
    std::string character(1, static_cast<char>(c));
    int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    while (more-- > 0)
        if (int next = ReadByte(30); next >= 0)
            character += static_cast<char>(next);
    return {K::Text, character};
}

void Terminal::Show(const std::string& text)
{
    std::fputs("\x1b[H\x1b[2J", stdout);
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

bool Terminal::Stopped() const { return g_stopped != 0; }

} // namespace phone
