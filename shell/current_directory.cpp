// getCurrentDir, chdir.
#include "bridge/borrowed_utf.h"
#include "bridge/results.h"
#include "method_table.h"
#include "platform/crt.h"
#include "platform/win.h"

// The process's current directory; the empty string when it is 99 bytes long
// or longer (the platform is offered 99 of the 100-byte buffer, so 98 bytes
// and the NUL are the most that fit).
jstring JNICALL Java_qav_Native_getCurrentDir(JNIEnv* env, jobject) {
  char directory[100];
  directory[0] = '\0';
  win::GetCurrentDirectoryA(99, directory);
  return bridge::utf_result(env, directory);
}

// Changes the process's current directory with the runtime's _chdir:
// 0 when it changed, -1 when not (also for a null or unborrowable path).
jint JNICALL Java_qav_Native_chdir(JNIEnv* env, jobject, jstring path) {
  bridge::JniCall call(env);
  bridge::BorrowedUtf directory(call, path);
  if (!directory) return -1;
  int result = crt::_chdir(directory.c_str());
  directory.release();
  return result;
}
