// A String argument's bytes, borrowed from the JVM for one call.
#pragma once

#include <jni.h>

namespace bridge {

// Borrows with GetStringUTFChars (no copy flag asked for) and gives back the
// very pointer with ReleaseStringUTFChars, exactly once: at release() where a
// method's release order matters, else when the holder goes out of scope.
// A null String or a borrow the JVM refuses leaves the holder empty, so the
// caller returns its failure value and nothing null reaches the platform.
class BorrowedUtf {
 public:
  BorrowedUtf(JNIEnv* env, jstring text) noexcept
      : env_(env), text_(text), bytes_(text ? env->GetStringUTFChars(text, nullptr) : nullptr) {}
  ~BorrowedUtf() { release(); }

  BorrowedUtf(const BorrowedUtf&) = delete;
  BorrowedUtf& operator=(const BorrowedUtf&) = delete;

  explicit operator bool() const noexcept { return bytes_ != nullptr; }
  const char* c_str() const noexcept { return bytes_; }

  void release() noexcept {
    if (bytes_) {
      env_->ReleaseStringUTFChars(text_, bytes_);
      bytes_ = nullptr;
    }
  }

 private:
  JNIEnv* env_;
  jstring text_;
  const char* bytes_;
};

}  // namespace bridge
