// The four root-key names that Java may give, compared exactly.
#pragma once

#include "bridge/borrowed_utf.h"
#include "bridge/jni_call.h"
#include "platform/win.h"

namespace registry {

// The root key whose name equals `name` byte for byte (case, spaces and
// backslashes count), or null for any other text and for null.
HKEY root_key_named(const char* name) noexcept;

// The root key for a call's borrowed root name, or null when it matches
// nothing or when a borrow of the call was refused: with the JVM's exception
// pending no registry work is done.
inline HKEY root_key_for(const bridge::JniCall& call, const bridge::BorrowedUtf& root) noexcept {
  return call.exception_pending() ? nullptr : root_key_named(root.c_str());
}

}  // namespace registry
