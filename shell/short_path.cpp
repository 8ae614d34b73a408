// getShortPathName.
#include "bridge/borrowed_utf.h"
#include "bridge/results.h"
#include "method_table.h"
#include "platform/win.h"

// The short (8.3) form of a path; the empty string when the path does not
// exist, its short form needs more than 260 bytes, or the path is null; null
// when its borrow was refused.
jstring JNICALL Java_qav_Native_getShortPathName(JNIEnv* env, jobject, jstring path) {
  bridge::JniCall call(env);
  char short_form[260];
  short_form[0] = '\0';
  bridge::BorrowedUtf long_form(call, path);
  if (!long_form) return bridge::utf_result(call, "");
  win::GetShortPathNameA(long_form.c_str(), short_form, 260);
  long_form.release();
  return bridge::utf_result(call, short_form);
}
