// A process-wide exclusive lock and its scoped hold, behind the platform seam.
//
// On Windows a slim reader/writer lock: constant-initialised and without a
// destructor, so a lock in static storage is ready before any constructor
// runs at load and still valid while the exit list runs; and it takes no
// thread library into the DLL. On the host the standard mutex.
#pragma once

#ifdef _WIN32
#include "platform/win.h"
#else
#include <mutex>
#endif

namespace platform {

class Lock {
 public:
  constexpr Lock() noexcept = default;
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

#ifdef _WIN32
  void lock() noexcept { ::AcquireSRWLockExclusive(&lock_); }
  void unlock() noexcept { ::ReleaseSRWLockExclusive(&lock_); }

 private:
  SRWLOCK lock_ = SRWLOCK_INIT;
#else
  void lock() noexcept { mutex_.lock(); }
  void unlock() noexcept { mutex_.unlock(); }

 private:
  std::mutex mutex_;
#endif
};

// Holds the lock from its construction to the end of its scope.
class LockHold {
 public:
  explicit LockHold(Lock& lock) noexcept : lock_(lock) { lock_.lock(); }
  ~LockHold() { lock_.unlock(); }
  LockHold(const LockHold&) = delete;
  LockHold& operator=(const LockHold&) = delete;

 private:
  Lock& lock_;
};

}  // namespace platform
