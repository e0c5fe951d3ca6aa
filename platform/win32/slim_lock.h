#pragma once
// The system's slim reader/writer lock and condition variable, for threads that hand
// each other work many times a second. They wait in user space (under Wine on a futex);
// the C++ runtime's mutex and condition variable here wait on kernel events, so each
// contended lock or wake-up is a trip through the system (under Wine, through the wine
// server, which every other thread of the process then waits for).
#include <windows.h>

namespace movarin::win32 {

// Exclusive locking only; usable with std::lock_guard and std::unique_lock.
class SlimLock {
 public:
  SlimLock() = default;
  SlimLock(const SlimLock&) = delete;
  SlimLock& operator=(const SlimLock&) = delete;

  void lock() { AcquireSRWLockExclusive(&lock_); }
  void unlock() { ReleaseSRWLockExclusive(&lock_); }
  SRWLOCK* native() { return &lock_; }

 private:
  SRWLOCK lock_ = SRWLOCK_INIT;
};

class SlimCondition {
 public:
  SlimCondition() = default;
  SlimCondition(const SlimCondition&) = delete;
  SlimCondition& operator=(const SlimCondition&) = delete;

  // Releases `lock` (held by the caller) while it waits, and holds it again when it
  // returns: false when the time ran out. Wake-ups may be spurious; callers look again.
  bool Wait(SlimLock& lock, DWORD timeout_ms = INFINITE) {
    return SleepConditionVariableSRW(&condition_, lock.native(), timeout_ms, 0) != FALSE;
  }
  void WakeOne() { WakeConditionVariable(&condition_); }
  void WakeAll() { WakeAllConditionVariable(&condition_); }

 private:
  CONDITION_VARIABLE condition_ = CONDITION_VARIABLE_INIT;
};

}  // namespace movarin::win32
