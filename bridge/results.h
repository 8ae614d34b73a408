// Java results made from what the platform answered, without conversion.
#pragma once

#include <jni.h>

#include "bridge/jni_call.h"

namespace bridge {

// A String from NUL-terminated ANSI bytes, handed to the JVM as they are.
inline jstring utf_result(JNIEnv* env, const char* bytes) noexcept {
  return env->NewStringUTF(bytes);
}

// The same for a call that borrowed: null once a borrow was refused, since
// no String may be made while the JVM's exception is pending.
inline jstring utf_result(const JniCall& call, const char* bytes) noexcept {
  return call.exception_pending() ? nullptr : utf_result(call.env(), bytes);
}

inline jboolean truth(bool value) noexcept { return value ? JNI_TRUE : JNI_FALSE; }

}  // namespace bridge
