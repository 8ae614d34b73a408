// Java results made from what the platform answered, without conversion.
#pragma once

#include <jni.h>

namespace bridge {

// A String from NUL-terminated ANSI bytes, handed to the JVM as they are.
inline jstring utf_result(JNIEnv* env, const char* bytes) noexcept {
  return env->NewStringUTF(bytes);
}

inline jboolean truth(bool value) noexcept { return value ? JNI_TRUE : JNI_FALSE; }

}  // namespace bridge
