#include "support/Eventually.h"

#include <chrono>
#include <thread>

namespace testing_support {

bool Eventually(const std::function<bool()>& condition)
{
    // Only a failing test waits this long; a loaded machine with sanitizers must never make a passing one fail.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace testing_support
