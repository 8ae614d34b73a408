// The four root-key names that Java may give, compared exactly.
#pragma once

#include "bridge/borrowed_utf.h"
#include "platform/win.h"

namespace registry {

// The root key whose name equals `name` byte for byte (case, spaces and
// backslashes count), or null for any other text and for null.
HKEY root_key_named(const char* name) noexcept;

// The root key for a call's borrowed root name, or null when it matches
// nothing or when either borrow was refused, so no registry work is done.
inline HKEY root_key_for(const bridge::BorrowedUtf& root, const bridge::BorrowedUtf& subKey) noexcept {
  return root && subKey ? root_key_named(root.c_str()) : nullptr;
}

}  // namespace registry
