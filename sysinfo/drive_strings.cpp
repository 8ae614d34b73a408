// getLogicalDriveStrings: the drive-string enumerator, one root per call.
#include <cstring>

#include "bridge/results.h"
#include "method_table.h"
#include "platform/lock.h"
#include "platform/win.h"

namespace {

// One pass over the drives shared by the whole process: the list as read at
// the pass's start, the root handed out last, and the next entry (none when
// no pass is under way). Never freed; the lock keeps concurrent callers from
// tearing the cursor and the buffers apart, while they still share the pass.
char drive_list[128];
char drive_entry[12];
const char* drive_cursor = nullptr;
platform::Lock drive_lock;

}  // namespace

// The next drive root of the pass ("C:\"); the empty string at its end, after
// which the next call starts a new pass; null when the drive list cannot be
// read (and no pass begins).
jstring JNICALL Java_qav_Native_getLogicalDriveStrings(JNIEnv* env, jobject) {
  platform::LockHold hold(drive_lock);
  if (!drive_cursor) {
    DWORD length = win::GetLogicalDriveStringsA(sizeof drive_list, drive_list);
    // A length beyond the buffer means nothing was written (no real list is that long).
    if (length == 0 || length >= sizeof drive_list) return nullptr;
    drive_cursor = drive_list;
  }
  if (*drive_cursor == '\0') {
    drive_entry[0] = '\0';
    drive_cursor = nullptr;
    return bridge::utf_result(env, "");
  }
  std::size_t size = std::strlen(drive_cursor) + 1;
  if (size > sizeof drive_entry) size = sizeof drive_entry;  // roots have 4 bytes
  std::memcpy(drive_entry, drive_cursor, size);
  drive_entry[size - 1] = '\0';
  drive_cursor += std::strlen(drive_cursor) + 1;
  return bridge::utf_result(env, drive_entry);
}
