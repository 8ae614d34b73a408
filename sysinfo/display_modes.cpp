// getMaxScreenWidth, getMaxScreenHeight.
#include <cstddef>

#include "method_table.h"
#include "platform/win.h"

namespace {

// The display mode record in the form that ends before the panning fields.
constexpr WORD display_mode_size = 148;
static_assert(offsetof(DEVMODEA, dmPanningWidth) == display_mode_size,
              "the short form of the display mode record has 148 bytes");

struct Size {
  DWORD width = 0;
  DWORD height = 0;
};

// The size of the last mode in the driver's list (not the largest one); 0 by
// 0 when it offers none. Each request goes into the same record; the size is
// kept after every success, so that a failing request cannot disturb it.
Size last_display_mode() {
  DEVMODEA mode{};
  mode.dmSize = display_mode_size;
  Size last;
  for (DWORD index = 0; win::EnumDisplaySettingsA(nullptr, index, &mode); ++index) {
    last = {mode.dmPelsWidth, mode.dmPelsHeight};
  }
  return last;
}

}  // namespace

// Width in pixels of the last display mode; 0 when the display offers none.
jint JNICALL Java_qav_Native_getMaxScreenWidth(JNIEnv*, jobject) {
  return static_cast<jint>(last_display_mode().width);
}

// Height in pixels of the last display mode; 0 when the display offers none.
jint JNICALL Java_qav_Native_getMaxScreenHeight(JNIEnv*, jobject) {
  return static_cast<jint>(last_display_mode().height);
}
