// A command of the device tool: its name, its help, and what it does with its arguments.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace phone {

// A failure to report on one line; nothing has been changed.
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Arguments the command cannot take: reported with a pointer to its help.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The arguments after the command's name, taken from the front.
class Args {
public:
    explicit Args(std::vector<std::string> items) : m_items(std::move(items)) {}

    bool Empty() const { return m_items.empty(); }
    size_t Count() const { return m_items.size(); }
    // The next argument; `what` names it in the error when there is none.
    std::string Take(const char* what);
    // The value of an option given as --name VALUE anywhere among the arguments, removed; empty when absent.
    std::string Option(const std::string& name);
    bool Flag(const std::string& name);
    // The value of --name N as a whole number from low to high; `absent` when the option is not given.
    int NumberOption(const std::string& name, int absent, int low, int high);
    // What is left, joined by single blanks.
    std::string Rest();
    void ExpectEnd() const;

private:
    std::vector<std::string> m_items;
};

struct Command {
    const char* name;
    const char* usage;   // the arguments, as the help shows them
    const char* summary; // one line
    const char* details; // more lines, or empty
    bool needsDevice;    // attach to an existing device first
    int (*run)(Args& args);
};

const std::vector<const Command*>& Commands();

} // namespace phone
