// createSC's link path: read as UTF-16 and narrowed under the runtime's
// current locale, so that it depends on whether getStartupDir switched it.
#pragma once

#include <jni.h>

#include "platform/runtime_block.h"

namespace shell {

// The multibyte text of `link_path`, NUL-terminated, owned by the caller.
// Units the locale cannot represent are left out; a U+0000 ends the text.
// Null for a null or refused String, or when a working buffer cannot be
// allocated; the units are given back on every path.
platform::RuntimeBlock<char> narrow_link_path(JNIEnv* env, jstring link_path) noexcept;

}  // namespace shell
