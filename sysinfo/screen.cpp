// getScreenX, getScreenY, getColorBits.
#include "method_table.h"
#include "platform/win.h"
#include "sysinfo/screen_device_context.h"

// Width of the primary screen in pixels; the platform's 0 when it fails.
jint JNICALL Java_qav_Native_getScreenX(JNIEnv*, jobject) {
  return win::GetSystemMetrics(SM_CXSCREEN);
}

// Height of the primary screen in pixels; the platform's 0 when it fails.
jint JNICALL Java_qav_Native_getScreenY(JNIEnv*, jobject) {
  return win::GetSystemMetrics(SM_CYSCREEN);
}

// Colour bits per pixel of the screen; 0 when no device context can be had.
jint JNICALL Java_qav_Native_getColorBits(JNIEnv*, jobject) {
  sysinfo::ScreenDeviceContext screen = sysinfo::borrow_screen_device_context();
  if (!screen) return 0;
  return win::GetDeviceCaps(screen.get(), BITSPIXEL);
}
