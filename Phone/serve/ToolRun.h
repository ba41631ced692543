// The page plays the phone through the tool's own commands: each runs as `phone --device DIR ...`, a
// process of its own, exactly as a script would run it.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace phone {

struct ToolOutcome {
    int exitCode = -1; // -1: it did not end by itself within the time and was ended
    std::string out;
    std::string err;
};

// Runs this tool on the device with those arguments, standard input empty; throws Failure when it cannot
// be started.
ToolOutcome RunTool(const std::string& deviceDir, const std::vector<std::string>& arguments,
                    std::chrono::seconds limit);

} // namespace phone
