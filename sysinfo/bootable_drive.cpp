// getFirstBootableDrive.
#include <cstring>

#include "bridge/results.h"
#include "method_table.h"
#include "platform/crt.h"
#include "platform/runtime_block.h"
#include "platform/win.h"

namespace {

using platform::RuntimeBlock;

// Puts the process's current directory back when the scan ends, however it ends.
class RestoreCurrentDirectory {
 public:
  explicit RestoreCurrentDirectory(const char* directory) : directory_(directory) {}
  ~RestoreCurrentDirectory() { win::SetCurrentDirectoryA(directory_); }
  RestoreCurrentDirectory(const RestoreCurrentDirectory&) = delete;
  RestoreCurrentDirectory& operator=(const RestoreCurrentDirectory&) = delete;

 private:
  const char* directory_;
};

// Whether the current directory holds an entry of this name, whatever its attributes.
bool current_directory_holds(const char* name, WIN32_FIND_DATAA* find_data) {
  HANDLE found = win::FindFirstFileA(name, find_data);
  if (found == INVALID_HANDLE_VALUE) return false;
  win::FindClose(found);
  return true;
}

// The root of the first fixed or CD-ROM drive, in drive-letter order, whose
// root holds "MSDOS.SYS", as a copy for crt::free; null when none does or
// when the blocks or the drive list cannot be had. Other kinds of drive are
// never entered, and a root that cannot be entered is passed over, so that
// the search never runs in some other directory. The current directory is
// the caller's again afterwards; when it cannot be read, nothing is scanned,
// since it could not be put back.
char* find_first_bootable_drive() {
  char saved[260];
  DWORD saved_length = win::GetCurrentDirectoryA(sizeof saved, saved);
  if (saved_length == 0 || saved_length >= sizeof saved) return nullptr;

  auto find_data = platform::allocate<WIN32_FIND_DATAA>(sizeof(WIN32_FIND_DATAA));
  if (!find_data) return nullptr;

  DWORD list_size = win::GetLogicalDriveStringsA(0, nullptr);
  if (list_size == 0) return nullptr;
  auto list = platform::allocate<char>(list_size);
  if (!list) return nullptr;
  DWORD written = win::GetLogicalDriveStringsA(list_size, list.get());
  // A list that grew since it was measured was not written at all.
  if (written == 0 || written >= list_size) return nullptr;

  RestoreCurrentDirectory restore(saved);
  for (const char* entry = list.get(); *entry; entry += std::strlen(entry) + 1) {
    UINT type = win::GetDriveTypeA(entry);
    if (type != DRIVE_FIXED && type != DRIVE_CDROM) continue;
    if (!win::SetCurrentDirectoryA(entry)) continue;
    if (current_directory_holds("MSDOS.SYS", find_data.get())) return crt::strdup(entry);
  }
  return nullptr;
}

}  // namespace

// The root ("C:\") of the first fixed or CD-ROM drive whose root holds
// "MSDOS.SYS"; null when none does.
jstring JNICALL Java_qav_Native_getFirstBootableDrive(JNIEnv* env, jobject) {
  RuntimeBlock<char> root(find_first_bootable_drive());
  if (!root) return nullptr;
  return bridge::utf_result(env, root.get());
}
