// getLogicalDrives, getDriveType, isHD, getDiskFreeSpace.
#include "bridge/borrowed_utf.h"
#include "bridge/results.h"
#include "method_table.h"
#include "platform/win.h"

namespace {

const char* drive_type_label(UINT code) {
  switch (code) {
    case DRIVE_NO_ROOT_DIR: return "No Root Directory";
    case DRIVE_REMOVABLE: return "Floppy/Removable";
    case DRIVE_FIXED: return "Hard Disk";
    case DRIVE_REMOTE: return "Network Drive";
    case DRIVE_CDROM: return "CD-ROM Drive";
    case DRIVE_RAMDISK: return "RAM Disk";
    default: return "Unknown";  // DRIVE_UNKNOWN, and any code the platform might add
  }
}

}  // namespace

// The platform's drive bit mask (bit 0 for A); its 0 on failure.
jint JNICALL Java_qav_Native_getLogicalDrives(JNIEnv*, jobject) {
  return static_cast<jint>(win::GetLogicalDrives());
}

// The label of the root's drive type; "No Root Directory" for a null root,
// as for a root that does not exist; null when its borrow was refused.
jstring JNICALL Java_qav_Native_getDriveType(JNIEnv* env, jobject, jstring root) {
  bridge::JniCall call(env);
  bridge::BorrowedUtf drive(call, root);
  UINT code = drive ? win::GetDriveTypeA(drive.c_str()) : DRIVE_NO_ROOT_DIR;
  drive.release();
  return bridge::utf_result(call, drive_type_label(code));
}

// Whether the root is a fixed disk; false for every other kind and for a
// null or unborrowable root.
jboolean JNICALL Java_qav_Native_isHD(JNIEnv* env, jobject, jstring root) {
  bridge::JniCall call(env);
  bridge::BorrowedUtf drive(call, root);
  if (!drive) return JNI_FALSE;
  UINT code = win::GetDriveTypeA(drive.c_str());
  drive.release();
  return bridge::truth(code == DRIVE_FIXED);
}

// Free bytes on the whole volume (not only those free to this user) divided
// by 1000; -1 when the platform cannot tell or the directory is null or
// cannot be borrowed.
jlong JNICALL Java_qav_Native_getDiskFreeSpace(JNIEnv* env, jobject, jstring directory) {
  bridge::JniCall call(env);
  bridge::BorrowedUtf path(call, directory);
  if (!path) return -1;
  ULARGE_INTEGER free_to_caller, total_bytes, total_free;
  jlong result = -1;
  if (win::GetDiskFreeSpaceExA(path.c_str(), &free_to_caller, &total_bytes, &total_free)) {
    result = static_cast<jlong>(total_free.QuadPart / 1000);
  }
  path.release();
  return result;
}
