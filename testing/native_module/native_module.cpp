#include "native_module.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "method_table.h"

namespace testhost {

namespace {

// Calls through the exact prototype the JVM would use: JNICALL, the
// environment, a class reference and as many jstrings as the method takes.
template <typename R, std::size_t... I>
R invoke(FARPROC entry, JNIEnv* env, const std::vector<jstring>& args, std::index_sequence<I...>) {
  using Entry = R(JNICALL*)(JNIEnv*, jobject, decltype((void)I, jstring())...);
  return reinterpret_cast<Entry>(reinterpret_cast<void*>(entry))(env, nullptr, args[I]...);
}

template <typename R>
R invoke_with(FARPROC entry, JNIEnv* env, const std::vector<jstring>& args) {
  switch (args.size()) {
    case 0: return invoke<R>(entry, env, args, std::make_index_sequence<0>{});
    case 1: return invoke<R>(entry, env, args, std::make_index_sequence<1>{});
    case 2: return invoke<R>(entry, env, args, std::make_index_sequence<2>{});
    case 3: return invoke<R>(entry, env, args, std::make_index_sequence<3>{});
    case 4: return invoke<R>(entry, env, args, std::make_index_sequence<4>{});
    case 5: return invoke<R>(entry, env, args, std::make_index_sequence<5>{});
    case 6: return invoke<R>(entry, env, args, std::make_index_sequence<6>{});
    case 7: return invoke<R>(entry, env, args, std::make_index_sequence<7>{});
  }
  std::fprintf(stderr, "no method takes %u arguments\n", static_cast<unsigned>(args.size()));
  std::abort();
}

[[noreturn]] void misuse(const std::string& what) {
  std::fprintf(stderr, "native module: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

}  // namespace

const std::vector<MethodInfo>& methods() {
  static const std::vector<MethodInfo> table = {
#define ZOZUDU_METHOD_INFO(name, type, nargs, descriptor, ordinal) \
  {#name, testing_support::kind_of<type>(), nargs, descriptor, ordinal},
      ZOZUDU_METHODS(ZOZUDU_METHOD_INFO)
#undef ZOZUDU_METHOD_INFO
  };
  return table;
}

const MethodInfo* find_method(const std::string& name) {
  for (const auto& m : methods()) {
    if (name == m.name) return &m;
  }
  return nullptr;
}

std::string exported_name(const MethodInfo& method) {
  std::string name = std::string("Java_qav_Native_") + method.name;
  if (sizeof(void*) == 4) {
    name = "_" + name + "@" + std::to_string(4 * (2 + method.string_arguments));
  }
  return name;
}

NativeModule::NativeModule(const std::string& dll_path) : module_(LoadLibraryA(dll_path.c_str())) {}

bool NativeModule::unload() {
  if (!module_) return false;
  return FreeLibrary(module_.release()) != 0;
}

FARPROC NativeModule::entry(const MethodInfo& method) const {
  return module_ ? GetProcAddress(module_.get(), exported_name(method).c_str()) : nullptr;
}

Result NativeModule::call(JNIEnv* env, const std::string& name,
                          const std::vector<jstring>& args) const {
  const MethodInfo* method = find_method(name);
  if (!method) misuse("no method " + name + " in the method table");
  if (static_cast<int>(args.size()) != method->string_arguments) {
    misuse(name + " takes " + std::to_string(method->string_arguments) + " arguments");
  }
  FARPROC target = entry(*method);
  if (!target) misuse("the DLL does not export " + exported_name(*method));
  Result result;
  result.kind = method->result;
  switch (method->result) {
    case ResultKind::Int: result.int_value = invoke_with<jint>(target, env, args); break;
    case ResultKind::Boolean:
      result.boolean_value = invoke_with<jboolean>(target, env, args);
      break;
    case ResultKind::Long: result.long_value = invoke_with<jlong>(target, env, args); break;
    case ResultKind::Float: result.float_value = invoke_with<jfloat>(target, env, args); break;
    case ResultKind::String: result.string_value = invoke_with<jstring>(target, env, args); break;
  }
  return result;
}

}  // namespace testhost
