// setReg, setRegDWord.
#include "bridge/borrowed_utf.h"
#include "bridge/results.h"
#include "method_table.h"
#include "registry/dword_text.h"
#include "registry/root_key.h"
#include "registry/the_reg_key.h"

namespace {

// Opens the key, creating it and any missing keys on its path.
bool create_key(HKEY parent, const char* subKey) {
  return theRegKey.Create(parent, subKey, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                          nullptr) == ERROR_SUCCESS;
}

// The key is closed whether the write succeeded or not; both must succeed.
bool close_after(LONG written) {
  LONG closed = theRegKey.Close();
  return written == ERROR_SUCCESS && closed == ERROR_SUCCESS;
}

// The two setters' common course: resolve the root, create the key, borrow
// the name and the value, write, close. They differ only in how the value's
// text becomes data and in which of the two texts borrowed once the key is
// created goes back first: setReg gives back the value first, setRegDWord
// its name (each method keeps its own order; bridge::release_in_order says
// why). A refused borrow skips the write, still closes the key, and
// releases in that same order.
enum class ReleaseFirst { value, valueName };

template <typename Write>
jboolean set_value(JNIEnv* env, jstring root, jstring subKey, jstring valueName, jstring value,
                   ReleaseFirst first, Write write) {
  if (!root || !subKey || !valueName || !value) return bridge::truth(false);
  bridge::JniCall call(env);
  platform::LockHold hold(registry::the_reg_key_lock);
  bool done = false;
  bridge::BorrowedUtf rootName(call, root);
  bridge::BorrowedUtf path(call, subKey);
  HKEY parent = registry::root_key_for(call, rootName);
  if (parent && create_key(parent, path.c_str())) {
    bridge::BorrowedUtf name(call, valueName);
    bridge::BorrowedUtf text(call, value);
    done = close_after(name && text ? write(text.c_str(), name.c_str()) : ERROR_INVALID_PARAMETER);
    if (first == ReleaseFirst::value) {
      bridge::release_in_order(text, name);
    } else {
      bridge::release_in_order(name, text);
    }
  }
  bridge::release_in_order(rootName, path);
  return bridge::truth(done);
}

}  // namespace

// True when the REG_SZ value (the text and its NUL) was written and the key
// closed; false otherwise, also when the root name matches nothing or an
// argument is null or cannot be borrowed.
jboolean JNICALL Java_qav_Native_setReg(JNIEnv* env, jobject, jstring root, jstring subKey,
                                        jstring valueName, jstring value) {
  return set_value(
      env, root, subKey, valueName, value, ReleaseFirst::value,
      [](const char* text, const char* name) { return theRegKey.SetValue(text, name); });
}

// True when the REG_DWORD value converted from the decimal text was written
// and the key closed; false otherwise, also when the root name matches
// nothing or an argument is null or cannot be borrowed.
jboolean JNICALL Java_qav_Native_setRegDWord(JNIEnv* env, jobject, jstring root, jstring subKey,
                                             jstring valueName, jstring value) {
  return set_value(env, root, subKey, valueName, value, ReleaseFirst::valueName,
                   [](const char* text, const char* name) {
                     return theRegKey.SetValue(registry::dword_from_decimal_text(text), name);
                   });
}
