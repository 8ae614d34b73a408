// A String argument's bytes, borrowed from the JVM for one call.
#pragma once

#include <jni.h>

#include "bridge/jni_call.h"

namespace bridge {

// Borrows with GetStringUTFChars (no copy flag asked for) and gives back the
// very pointer with ReleaseStringUTFChars, exactly once: at release() (see
// release_in_order for why methods release explicitly), else when the
// holder goes out of scope.
// The holder stays empty for a null String, and for any String once a
// borrow of the call was refused (then nothing is asked of the JVM); a
// refusal of its own borrow is recorded in the call. Either way the caller
// returns its failure value and nothing null reaches the platform.
class BorrowedUtf {
 public:
  BorrowedUtf(JniCall& call, jstring text) noexcept
      : env_(call.env()), text_(text), bytes_(borrow(call, text)) {}
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
  static const char* borrow(JniCall& call, jstring text) noexcept {
    if (!text || call.exception_pending()) return nullptr;
    const char* bytes = call.env()->GetStringUTFChars(text, nullptr);
    if (!bytes) call.borrow_refused();
    return bytes;
  }

  JNIEnv* env_;
  jstring text_;
  const char* bytes_;
};

// Gives borrowed texts back in the order they are written here.
//
// Why the order matters: a JVM may let the bytes go at each release, so a
// text goes back only after the last platform call that reads it (the fake
// JNI overwrites released bytes, so a late read shows); and the order of a
// method's releases is part of its documented behaviour, the same on every
// path, the failure paths and a refused borrow included, which the tests
// compare as whole traces. Texts needed only once an earlier step has
// succeeded (the registry methods' valueName and value, borrowed once their
// key is open) go back before those borrowed at the start. Destructors would
// release in reverse declaration order, which is not that order, so methods
// say theirs explicitly, and release before they make a String result.
template <typename... Holders>
void release_in_order(Holders&... holders) noexcept {
  (holders.release(), ...);
}

}  // namespace bridge
