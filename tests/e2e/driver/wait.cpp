#include "tests/e2e/driver/wait.h"

#include <thread>

namespace movarin::e2e {

bool WaitUntil(const std::function<bool()>& condition, milliseconds timeout,
               milliseconds interval) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return condition();
    std::this_thread::sleep_for(interval);
  }
}

}  // namespace movarin::e2e
