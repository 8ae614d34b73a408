// The JVM's part, played by a Windows program: loads zozudu.dll with
// LoadLibrary, finds each entry point by the name the JVM would look up, and
// calls it with a JNI environment of our own.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include <jni.h>

#include "platform/unique_handle.h"
#include "testing/result_kind.h"

namespace testhost {

using testing_support::ResultKind;

struct MethodInfo {
  const char* name;
  ResultKind result;
  int string_arguments;
  const char* descriptor;
  int ordinal;
};

// Every method of the method table, in export order.
const std::vector<MethodInfo>& methods();
const MethodInfo* find_method(const std::string& name);

// The name under which the JVM looks the method up in this build's DLL:
// _Java_qav_Native_<method>@<bytes> on 32-bit Windows, Java_qav_Native_<method> on 64-bit.
std::string exported_name(const MethodInfo& method);

struct Result {
  ResultKind kind = ResultKind::Int;
  jint int_value = 0;
  jboolean boolean_value = 0;
  jlong long_value = 0;
  jfloat float_value = 0;
  jstring string_value = nullptr;
};

class NativeModule {
 public:
  explicit NativeModule(const std::string& dll_path);
  NativeModule(const NativeModule&) = delete;
  NativeModule& operator=(const NativeModule&) = delete;

  bool loaded() const { return static_cast<bool>(module_); }
  HMODULE handle() const { return module_.get(); }
  // Frees the DLL; true when FreeLibrary succeeded.
  bool unload();

  FARPROC entry(const MethodInfo& method) const;
  // Calls the method with these arguments (as many as it takes; the class
  // reference passed is null, which no entry point reads).
  Result call(JNIEnv* env, const std::string& method, const std::vector<jstring>& args) const;

 private:
  // Freed at the end of the object's life unless unload() freed it first.
  platform::UniqueHandle<HMODULE, &::FreeLibrary> module_;
};

}  // namespace testhost
