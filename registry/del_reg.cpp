// delReg, delRegKey.
#include "bridge/borrowed_utf.h"
#include "bridge/results.h"
#include "method_table.h"
#include "registry/root_key.h"
#include "registry/the_reg_key.h"

// True when the value was deleted and the key closed; false otherwise, also
// when the root name matches nothing, the key cannot be opened, or an
// argument is null or cannot be borrowed.
jboolean JNICALL Java_qav_Native_delReg(JNIEnv* env, jobject, jstring root, jstring subKey,
                                        jstring valueName) {
  if (!root || !subKey || !valueName) return bridge::truth(false);
  bridge::JniCall call(env);
  platform::LockHold hold(registry::the_reg_key_lock);
  bool done = false;
  bridge::BorrowedUtf rootName(call, root);
  bridge::BorrowedUtf path(call, subKey);
  HKEY parent = registry::root_key_for(call, rootName);
  if (parent && theRegKey.Open(parent, path.c_str(), KEY_ALL_ACCESS) == ERROR_SUCCESS) {
    bridge::BorrowedUtf name(call, valueName);
    LONG deleted =
        name ? win::RegDeleteValueA(theRegKey.m_hKey, name.c_str()) : ERROR_INVALID_PARAMETER;
    LONG closed = theRegKey.Close();
    done = deleted == ERROR_SUCCESS && closed == ERROR_SUCCESS;
    name.release();
  }
  bridge::release_in_order(rootName, path);
  return bridge::truth(done);
}

// True when the platform deleted the key below the root key; false
// otherwise, also when the root name matches nothing or an argument is null
// or cannot be borrowed. Sub-keys are not walked.
jboolean JNICALL Java_qav_Native_delRegKey(JNIEnv* env, jobject, jstring root, jstring subKey) {
  if (!root || !subKey) return bridge::truth(false);
  bridge::JniCall call(env);
  bridge::BorrowedUtf rootName(call, root);
  bridge::BorrowedUtf path(call, subKey);
  HKEY parent = registry::root_key_for(call, rootName);
  bool done = parent && win::RegDeleteKeyA(parent, path.c_str()) == ERROR_SUCCESS;
  bridge::release_in_order(rootName, path);
  return bridge::truth(done);
}
