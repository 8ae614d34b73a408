// The whole screen's device context, borrowed for one call.
#pragma once

#include "platform/unique_handle.h"
#include "platform/win.h"

namespace sysinfo {

inline void release_screen_device_context(HDC dc) noexcept { win::ReleaseDC(nullptr, dc); }

// Released on every path; empty when the platform has none to give, which
// the caller must test before asking anything of it.
using ScreenDeviceContext = platform::UniqueHandle<HDC, &release_screen_device_context>;

inline ScreenDeviceContext borrow_screen_device_context() noexcept {
  return ScreenDeviceContext(win::GetDC(nullptr));
}

}  // namespace sysinfo
