// Waiting for what another thread or process does, without a timed assertion.
#pragma once

#include <functional>

namespace testing_support {

// Polls until the condition holds or a generous bound passes; says which.
bool Eventually(const std::function<bool()>& condition);

} // namespace testing_support
