// The whole screen's device context, borrowed for one call.
#pragma once

#include "platform/win.h"

namespace sysinfo {

// Released on every path; empty when the platform has none to give, which
// the caller must test before asking anything of it.
class ScreenDeviceContext {
 public:
  ScreenDeviceContext() noexcept : dc_(win::GetDC(nullptr)) {}
  ~ScreenDeviceContext() {
    if (dc_) win::ReleaseDC(nullptr, dc_);
  }
  ScreenDeviceContext(const ScreenDeviceContext&) = delete;
  ScreenDeviceContext& operator=(const ScreenDeviceContext&) = delete;

  explicit operator bool() const noexcept { return dc_ != nullptr; }
  HDC get() const noexcept { return dc_; }

 private:
  HDC dc_;
};

}  // namespace sysinfo
