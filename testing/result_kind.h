// The five kinds of Java result a native method of qav.Native gives, and the
// kind of each JNI result type: shared by the host's caller of entry points
// and the Windows test host's, which both call any method by its table row.
#pragma once

#include <jni.h>

namespace testing_support {

enum class ResultKind { Int, Boolean, Long, Float, String };

template <typename T>
constexpr ResultKind kind_of();
template <>
constexpr ResultKind kind_of<jint>() {
  return ResultKind::Int;
}
template <>
constexpr ResultKind kind_of<jboolean>() {
  return ResultKind::Boolean;
}
template <>
constexpr ResultKind kind_of<jlong>() {
  return ResultKind::Long;
}
template <>
constexpr ResultKind kind_of<jfloat>() {
  return ResultKind::Float;
}
template <>
constexpr ResultKind kind_of<jstring>() {
  return ResultKind::String;
}

}  // namespace testing_support
