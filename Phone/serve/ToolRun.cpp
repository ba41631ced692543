#include "ToolRun.h"

#include "../Command.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace phone {

namespace {

class Pipe {
public:
    Pipe()
    {
        if (pipe2(m_ends, O_CLOEXEC) != 0)
            throw Failure(std::string("cannot make a pipe: ") + std::strerror(errno));
    }
    ~Pipe()
    {
        CloseWrite();
        if (m_ends[0] >= 0)
            close(m_ends[0]);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    int Read() const { return m_ends[0]; }
    int Write() const { return m_ends[1]; }
    void CloseWrite()
    {
        if (m_ends[1] >= 0)
            close(m_ends[1]);
        m_ends[1] = -1;
    }

private:
    int m_ends[2] = {-1, -1};
};

// Reads both outputs to their ends, or until the time is up; false when it was.
bool Collect(Pipe& out, Pipe& err, ToolOutcome& outcome, std::chrono::steady_clock::time_point end)
{
    pollfd fds[2] = {{out.Read(), POLLIN, 0}, {err.Read(), POLLIN, 0}};
    std::string* into[2] = {&outcome.out, &outcome.err};
    int open = 2;
    while (open > 0) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        if (poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR)
            return false;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buffer[4096];
            ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                into[i]->append(buffer, static_cast<size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                fds[i].fd = -1;
                --open;
            }
        }
    }
    return true;
}

} // namespace

ToolOutcome RunTool(const std::string& deviceDir, const std::vector<std::string>& arguments, std::chrono::seconds limit)
{
    std::vector<std::string> words{"phone", "--device", deviceDir};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    Pipe out, err;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.Write(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.Write(), STDERR_FILENO);
    pid_t pid = 0;
    int failed = posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        throw Failure(std::string("cannot run the tool: ") + std::strerror(failed));
    out.CloseWrite();
    err.CloseWrite();

    ToolOutcome outcome;
    bool ended = Collect(out, err, outcome, std::chrono::steady_clock::now() + limit);
    if (!ended)
        kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (ended && WIFEXITED(status))
        outcome.exitCode = WEXITSTATUS(status);
    return outcome;
}

} // namespace phone
