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
// access, the value is missing or needs more than 99 bytes.
jstring JNICALL Java_qav_Native_getRegString(JNIEnv* env, jobject, jstring root, jstring subKey,
                                            jstring valueName) {
  char buffer[100];
  buffer[0] = '\0';
  if (root && subKey && valueName) {
    platform::LockHold hold(registry::the_reg_key_lock);
    bridge::BorrowedUtf rootName(env, root);
    bridge::BorrowedUtf path(env, subKey);
    HKEY parent = registry::root_key_for(rootName, path);
    if (parent && theRegKey.Open(parent, path.c_str(), KEY_ALL_ACCESS) == ERROR_SUCCESS) {
      bridge::BorrowedUtf name(env, valueName);
      if (name) read_text(buffer, name.c_str());
      theRegKey.Close();
      name.release();
    }
    rootName.release();
    path.release();
  }
  return bridge::utf_result(env, buffer);
}
