// Waits until a condition holds, checking it every 10 ms: true as soon as it
// does, false when it still does not after the limit.
#pragma once

#include <chrono>
#include <thread>

namespace qk_test {

template <class Condition>
bool wait_until(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(60))
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace qk_test
