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
char driveList[128];
char driveEntry[12];
const char* driveCursor = nullptr;
platform::Lock driveLock;

}  // namespace

// The next drive root of the pass ("C:\"); the empty string at its end, after
// which the next call starts a new pass; null when the drive list cannot be
// read (and no pass begins).
jstring JNICALL Java_qav_Native_getLogicalDriveStrings(JNIEnv* env, jobject) {
  platform::LockHold hold(driveLock);
  if (!driveCursor) {
    DWORD length = win::GetLogicalDriveStringsA(sizeof driveList, driveList);
    // A length beyond the buffer means nothing was written (no real list is that long).
    if (length == 0 || length >= sizeof driveList) return nullptr;
    driveCursor = driveList;
  }
  if (*driveCursor == '\0') {
    driveEntry[0] = '\0';
    driveCursor = nullptr;
    return bridge::utf_result(env, "");
  }
  std::size_t size = std::strlen(driveCursor) + 1;
  if (size > sizeof driveEntry) size = sizeof driveEntry;  // roots have 4 bytes
  std::memcpy(driveEntry, driveCursor, size);
  driveEntry[size - 1] = '\0';
  driveCursor += std::strlen(driveCursor) + 1;
  return bridge::utf_result(env, driveEntry);
}
