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

// phone --device DIR ARGS...
Outcome Phone(const std::filesystem::path& device, const std::vector<std::string>& arguments);

} // namespace phone_testing
