// Runs one action when the scope ends, however it ends: for the few
// clean-ups that are not a handle's close (putting a directory back in a
// test, say). Handles belong in a UniqueHandle instead.
#pragma once

#include <utility>

namespace platform {

template <typename Action>
class ScopeGuard {
 public:
  explicit ScopeGuard(Action action) noexcept : action_(std::move(action)) {}
  ~ScopeGuard() {
    if (armed_) action_();
  }
  ScopeGuard(const ScopeGuard&) = delete;
  ScopeGuard& operator=(const ScopeGuard&) = delete;

  // The action will not run.
  void dismiss() noexcept { armed_ = false; }

 private:
  Action action_;
  bool armed_ = true;
};

}  // namespace platform
