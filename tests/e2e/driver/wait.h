#pragma once
// Polling with a time-out: the driver's only way of waiting for another process.
#include <chrono>
#include <functional>

namespace movarin::e2e {

using std::chrono::milliseconds;
inline constexpr milliseconds kDefaultTimeout{10000};

// Calls condition every interval until it returns true (true) or timeout has passed
// (false). The condition is always tried at least once, and once more at the end.
bool WaitUntil(const std::function<bool()>& condition, milliseconds timeout = kDefaultTimeout,
               milliseconds interval = milliseconds(20));

}  // namespace movarin::e2e
