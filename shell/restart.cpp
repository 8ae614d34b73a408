// reboot.
#include "method_table.h"
#include "platform/win.h"

// Forces a restart of the machine: the system's answer unchanged, nonzero
// when it accepted, 0 when it refused. No privilege is requested first, so a
// process without the shutdown privilege enabled is refused.
jint JNICALL Java_qav_Native_reboot(JNIEnv*, jobject) {
  return win::ExitWindowsEx(EWX_REBOOT | EWX_FORCE, 0);
}
