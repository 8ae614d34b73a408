// A String argument's UTF-16 units, borrowed from the JVM for one call.
#pragma once

#include <jni.h>

namespace bridge {

// Borrows with GetStringChars (no copy flag asked for), then takes the
// length with GetStringLength, and gives back the very pointer with
// ReleaseStringChars exactly once: at release(), else at the end of scope.
// A null String or a refused borrow leaves the holder empty and measures
// nothing: after a refusal the JVM allows only Release calls (see
// jni_call.h). createSC's link path, its one user, is the call's last
// borrow, so that refusal ends the call with nothing more asked of the JVM.
class BorrowedChars {
 public:
  BorrowedChars(JNIEnv* env, jstring text) noexcept
      : env_(env), text_(text), units_(text ? env->GetStringChars(text, nullptr) : nullptr) {
    if (units_) length_ = env->GetStringLength(text);
  }
  ~BorrowedChars() { release(); }

  BorrowedChars(const BorrowedChars&) = delete;
  BorrowedChars& operator=(const BorrowedChars&) = delete;

  explicit operator bool() const noexcept { return units_ != nullptr; }
  const jchar* units() const noexcept { return units_; }
  jsize length() const noexcept { return length_; }

  void release() noexcept {
    if (units_) {
      env_->ReleaseStringChars(text_, units_);
      units_ = nullptr;
    }
  }

 private:
  JNIEnv* env_;
  jstring text_;
  const jchar* units_;
  jsize length_ = 0;
};

}  // namespace bridge
