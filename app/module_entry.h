// The module entry's handling of each reason the system calls it with.
// DllMain hands its calls here; the host tests call it directly.
#pragma once

#include "platform/win.h"

namespace app {

// True lets a load go on; the other reasons' answers are not read.
BOOL module_entry(HINSTANCE instance, DWORD reason) noexcept;

}  // namespace app
