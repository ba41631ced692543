// The device database's schema as a list of steps; a file at user_version N has run steps 0..N-1.
#pragma once

#include <string>
#include <vector>

namespace device {

const std::vector<std::string>& SchemaSteps();

} // namespace device
