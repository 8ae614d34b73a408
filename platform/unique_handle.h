// Ownership of one platform handle: closed exactly once, by reset() or at the
// end of its scope. Move-only, so a handle never has two owners.
#pragma once

#include <utility>

namespace platform {

template <typename Handle, auto Close, Handle Empty = Handle{}>
class UniqueHandle {
 public:
  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
  ~UniqueHandle() { reset(); }

  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Empty)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, Empty);
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Handle get() const noexcept { return handle_; }
  Handle* put() noexcept {
    reset();
    return &handle_;
  }
  explicit operator bool() const noexcept { return handle_ != Empty; }

  void reset() noexcept {
    if (handle_ != Empty) Close(std::exchange(handle_, Empty));
  }

 private:
  Handle handle_ = Empty;
};

}  // namespace platform
