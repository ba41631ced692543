// A program run as a child process, with its standard input and output as pipes.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace testing_support {

class ChildProcess {
public:
    // Starts program with the arguments (argv[1] onward) and this process's environment.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    std::string ReadLine(); // without the newline; empty at the end of the output
    std::string ReadAll();
    void CloseInput();
    int Wait(); // the exit code; -1 when a signal ended the child
    pid_t Pid() const { return m_pid; } // until Wait has seen the end

private:
    pid_t m_pid = -1;
    int m_input = -1;
    int m_output = -1;
    int m_exitCode = -1;
};

} // namespace testing_support
