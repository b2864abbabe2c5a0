#pragma once

#include <windows.h>

#include <chrono>

namespace shredder::testing {

using namespace std::chrono_literals;

// Long enough for a slow machine, short enough that a hung program fails the test quickly.
inline constexpr std::chrono::milliseconds kPatience = 15s;

// Polls `condition` until it holds or the deadline passes; true when it held.
template <typename Condition>
bool WaitUntil(Condition&& condition, std::chrono::milliseconds patience = kPatience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        ::Sleep(5);  // a short yield between polls, not a wait for the condition
    }
}

}  // namespace shredder::testing
