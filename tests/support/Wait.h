#pragma once
// Waiting on another process or the window system: the condition is asked again until it holds.
// The guard only ends a test that went wrong; it measures no speed.
#include <chrono>
#include <functional>
#include <thread>

namespace testsupport {

inline bool WaitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds guard = std::chrono::minutes(2)) {
    const auto end = std::chrono::steady_clock::now() + guard;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

} // namespace testsupport
