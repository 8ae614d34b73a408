// Every entry point of the method table, callable alike: by its row, with as
// many Strings as it takes, its result kept whatever its type. For tests that
// must cover every method, so that a method added to the table is covered too.
#pragma once

#include <jni.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "fake_jni.h"
#include "method_table.h"
#include "testing/result_kind.h"

namespace entry_points {

using testing_support::ResultKind;

// One call's result.
struct Answer {
  ResultKind kind = ResultKind::Int;
  std::int64_t number = 0;  // jint, jboolean, jlong
  float real = 0;
  jstring string = nullptr;
};

using Caller = Answer (*)(JNIEnv* env, const std::vector<jstring>& arguments);

struct EntryPoint {
  const char* name;
  ResultKind result;
  int string_arguments;
  Caller call;  // aborts unless given exactly `string_arguments` Strings
};

namespace detail {

inline Answer answer_of(jint value) { return {ResultKind::Int, value}; }
inline Answer answer_of(jboolean value) { return {ResultKind::Boolean, value}; }
inline Answer answer_of(jlong value) { return {ResultKind::Long, value}; }
inline Answer answer_of(jfloat value) { return {ResultKind::Float, 0, value}; }
inline Answer answer_of(jstring value) { return {ResultKind::String, 0, 0, value}; }

template <typename R, typename... Strings>
constexpr int arity(R(JNICALL*)(JNIEnv*, jobject, Strings...)) {
  return static_cast<int>(sizeof...(Strings));
}

template <auto Entry, std::size_t... I>
Answer call_with(JNIEnv* env, const std::vector<jstring>& arguments, std::index_sequence<I...>) {
  return answer_of(Entry(env, nullptr, arguments[I]...));
}

// The entry point through its own prototype; the row's count of Strings
// must agree with it.
template <auto Entry, int Arguments>
Answer call(JNIEnv* env, const std::vector<jstring>& arguments) {
  static_assert(arity(Entry) == Arguments, "the method table and the prototype differ");
  if (arguments.size() != static_cast<std::size_t>(Arguments)) std::abort();
  return call_with<Entry>(env, arguments, std::make_index_sequence<Arguments>{});
}

}  // namespace detail

// The thirty entry points, in the table's (export) order.
inline const std::vector<EntryPoint>& all() {
  static const std::vector<EntryPoint> table = {
#define ZOZUDU_ENTRY_POINT(name, type, nargs, descriptor, ordinal) \
  {#name, testing_support::kind_of<type>(), nargs, &detail::call<&Java_qav_Native_##name, nargs>},
      ZOZUDU_METHODS(ZOZUDU_ENTRY_POINT)
#undef ZOZUDU_ENTRY_POINT
  };
  return table;
}

// The answer as a test would write it: -1, 0, false, true, null, "text".
inline std::string shown(const Answer& answer, const fakejni::Env& java) {
  switch (answer.kind) {
    case ResultKind::Boolean: return answer.number ? "true" : "false";
    case ResultKind::Float: {
      std::ostringstream text;  // 2000, not 2000.000000
      text << answer.real;
      return text.str();
    }
    case ResultKind::String: return answer.string ? "\"" + java.utf8(answer.string) + "\"" : "null";
    default: return std::to_string(answer.number);
  }
}

}  // namespace entry_points
