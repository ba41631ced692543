#include "phone/PhoneRun.h"

#include "support/ChildProcess.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace phone_testing {

namespace {

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

Outcome Phone(const std::filesystem::path& device, const std::vector<std::string>& arguments,
              const std::vector<std::string>& environment)
{
    // Through the shell, to have standard error apart.
    std::filesystem::path errors = device.parent_path() / ("phone-stderr-" + std::to_string(getpid()));
    std::string command = environment.empty() ? "" : "env ";
    for (const std::string& setting : environment)
        command += Quoted(setting) + " ";
    command += Quoted(PHONE_PROGRAM) + " --device " + Quoted(device.string());
    for (const std::string& argument : arguments)
        command += " " + Quoted(argument);
    command += " </dev/null 2>" + Quoted(errors.string());
    testing_support::ChildProcess shell("/bin/sh", {"-c", command});
    Outcome outcome;
    outcome.out = shell.ReadAll();
    outcome.exitCode = shell.Wait();
    std::ifstream file(errors);
    std::stringstream text;
    text << file.rdbuf();
    outcome.err = text.str();
    std::filesystem::remove(errors);
    return outcome;
}

} // namespace phone_testing
