// getRegString.
#include "bridge/borrowed_utf.h"
#include "bridge/results.h"
#include "method_table.h"
#include "registry/root_key.h"
#include "registry/the_reg_key.h"

namespace {

constexpr DWORD offered_bytes = 99;

// Reads into the 100-byte buffer and ends the text within it: at the bytes
// the platform wrote when the value has no NUL of its own, and at once when
// the read failed, since a value needing more than 99 bytes leaves the
// buffer's content undefined.
void read_text(char (&buffer)[100], const char* valueName) {
  DWORD count = offered_bytes;
  if (theRegKey.QueryValue(buffer, valueName, &count) == ERROR_SUCCESS) {
    buffer[count < offered_bytes ? count : offered_bytes] = '\0';
  } else {
    buffer[0] = '\0';
  }
}

}  // namespace

// The value's bytes up to its first NUL, whatever its type; the empty string
// when the root name matches nothing, the key cannot be opened with full
// access, the value is missing or needs more than 99 bytes, or an argument is
// null; null when a borrow was refused.
jstring JNICALL Java_qav_Native_getRegString(JNIEnv* env, jobject, jstring root, jstring subKey,
                                             jstring valueName) {
  bridge::JniCall call(env);
  char buffer[100];
  buffer[0] = '\0';
  if (root && subKey && valueName) {
    platform::LockHold hold(registry::the_reg_key_lock);
    bridge::BorrowedUtf rootName(call, root);
    bridge::BorrowedUtf path(call, subKey);
    HKEY parent = registry::root_key_for(call, rootName);
    if (parent && theRegKey.Open(parent, path.c_str(), KEY_ALL_ACCESS) == ERROR_SUCCESS) {
      bridge::BorrowedUtf name(call, valueName);
      if (name) read_text(buffer, name.c_str());
      theRegKey.Close();
      name.release();
    }
    bridge::release_in_order(rootName, path);
  }
  return bridge::utf_result(call, buffer);
}
