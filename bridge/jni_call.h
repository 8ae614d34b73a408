// One native call's dealings with the JVM: its environment, and whether the
// JVM has refused a borrow during the call.
#pragma once

#include <jni.h>

namespace bridge {

// When GetStringUTFChars or GetStringChars answers NULL, the JVM has thrown
// OutOfMemoryError, and until the native method returns only the Release
// functions may be called: no further borrow, no GetStringLength, no
// NewStringUTF. An entry point makes one JniCall and borrows through it, so
// the first refusal is known to every later step: the holders borrow
// nothing more, registry::root_key_for finds no key, and a String result is
// null (utf_result), leaving the pending exception to tell Java what
// happened. Closing what is already open and releasing what is already
// borrowed stay allowed, and are still done.
class JniCall {
 public:
  explicit JniCall(JNIEnv* env) noexcept : env_(env) {}
  JniCall(const JniCall&) = delete;
  JniCall& operator=(const JniCall&) = delete;

  JNIEnv* env() const noexcept { return env_; }

  // A borrow of this call was refused: the JVM's OutOfMemoryError is pending.
  bool exception_pending() const noexcept { return exception_pending_; }
  void borrow_refused() noexcept { exception_pending_ = true; }

 private:
  JNIEnv* env_;
  bool exception_pending_ = false;
};

}  // namespace bridge
