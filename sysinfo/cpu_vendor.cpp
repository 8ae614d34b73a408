// getCPUVendor.
#include "bridge/results.h"
#include "method_table.h"
#include "platform/win.h"
#include "registry/registry_key.h"

namespace {

constexpr const char* processor_key = "Hardware\\Description\\System\\CentralProcessor\\0";

}  // namespace

// The registry's identifier text of processor 0 (its "Identifier" value, up to
// 255 bytes with the NUL); the empty string when the key cannot be opened with
// full access or the value cannot be read whole.
jstring JNICALL Java_qav_Native_getCPUVendor(JNIEnv* env, jobject) {
  // A byte beyond the 255 offered, zero, ends a value that has no NUL of its own.
  char identifier[256] = {};
  DWORD count = sizeof identifier - 1;
  CRegistryKey key;
  if (key.Open(HKEY_LOCAL_MACHINE, processor_key, KEY_ALL_ACCESS) == ERROR_SUCCESS) {
    // A failed read leaves the buffer's content undefined, so it counts for nothing.
    if (key.QueryValue(identifier, "Identifier", &count) != ERROR_SUCCESS) identifier[0] = '\0';
    key.Close();
  }
  return bridge::utf_result(env, identifier);
}
