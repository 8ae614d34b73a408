// getSystemDirectory, getWindowsDirectory.
#include "bridge/results.h"
#include "method_table.h"
#include "platform/win.h"

namespace {

// The folder that the platform wrote, or the empty text when the call failed
// (it then writes nothing, or would need a larger buffer).
template <typename Query>
jstring folder_result(JNIEnv* env, Query query) {
  char folder[260];
  folder[0] = '\0';
  UINT length = query(folder, 260);
  if (length == 0 || length >= 260) folder[0] = '\0';
  return bridge::utf_result(env, folder);
}

}  // namespace

// The Windows system folder; the empty string when the platform fails.
jstring JNICALL Java_qav_Native_getSystemDirectory(JNIEnv* env, jobject) {
  return folder_result(
      env, [](LPSTR buffer, UINT size) { return win::GetSystemDirectoryA(buffer, size); });
}

// The Windows folder; the empty string when the platform fails.
jstring JNICALL Java_qav_Native_getWindowsDirectory(JNIEnv* env, jobject) {
  return folder_result(
      env, [](LPSTR buffer, UINT size) { return win::GetWindowsDirectoryA(buffer, size); });
}
