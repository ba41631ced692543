// Running the device tool on a test's device, as a script would.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace phone_testing {

struct Outcome {
    int exitCode = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

// phone --device DIR ARGS..., with standard input from /dev/null and these NAME=VALUE settings added to the
// environment.
Outcome Phone(const std::filesystem::path& device, const std::vector<std::string>& arguments,
              const std::vector<std::string>& environment = {});

} // namespace phone_testing
