// shellExecute.
#include <cstdint>

#include "bridge/borrowed_utf.h"
#include "method_table.h"
#include "platform/win.h"

// Opens the whole text as one item with the "open" verb, in the process's
// current directory: 1 when the shell accepted it, 0 otherwise (also for a
// null or unborrowable text).
jint JNICALL Java_qav_Native_shellExecute(JNIEnv* env, jobject, jstring path) {
  bridge::JniCall call(env);
  bridge::BorrowedUtf item(call, path);
  if (!item) return 0;
  HINSTANCE answer = win::ShellExecuteA(nullptr, "open", item.c_str(), nullptr, nullptr, SW_SHOW);
  item.release();
  // The instance value is an error code when 32 or below, read as a signed 32-bit number.
  auto code = static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(answer));
  return code > 32 ? 1 : 0;
}
