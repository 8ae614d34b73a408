// Ownership of one platform handle or interface pointer: closed exactly once,
// by reset() or at the end of its scope, unless release() hands it on.
// Move-only, so a handle never has two owners. Every handle the module opens
// or borrows is held in one of these (CRegistryKey excepted: it keeps its own
// interface).
#pragma once

#include <utility>

namespace platform {

template <typename Handle, auto Close, Handle Empty = Handle{}>
class UniqueHandle {
 public:
  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
  ~UniqueHandle() { reset(); }

  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = other.release();
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Handle get() const noexcept { return handle_; }
  // For interface pointers: link->SetPath(...).
  Handle operator->() const noexcept { return handle_; }
  // Closes what is held and offers the slot to a call that opens into it.
  Handle* put() noexcept {
    reset();
    return &handle_;
  }
  explicit operator bool() const noexcept { return handle_ != Empty; }

  // Gives up ownership without closing.
  [[nodiscard]] Handle release() noexcept { return std::exchange(handle_, Empty); }
  void reset() noexcept {
    if (handle_ != Empty) Close(release());
  }

 private:
  Handle handle_ = Empty;
};

}  // namespace platform
