// getFirstBootableDrive.
#include <cstring>

#include "bridge/results.h"
#include "method_table.h"
#include "platform/crt.h"
#include "platform/runtime_block.h"
#include "platform/win.h"

namespace {

using platform::RuntimeBlock;

constexpr char boot_file[] = "MSDOS.SYS";

// Whether `root` holds the boot file, whatever its attributes. The file is
// named by its full path: the current directory belongs to every thread of
// the process, so the scan never enters a root to look. A root that cannot be
// entered (no medium) cannot be searched either and answers false.
bool root_holds_boot_file(const char* root, WIN32_FIND_DATAA* find_data) {
  char path[MAX_PATH];
  std::size_t root_length = std::strlen(root);
  if (root_length + sizeof boot_file > sizeof path) return false;
  std::memcpy(path, root, root_length);
  std::memcpy(path + root_length, boot_file, sizeof boot_file);
  HANDLE found = win::FindFirstFileA(path, find_data);
  if (found == INVALID_HANDLE_VALUE) return false;
  win::FindClose(found);
  return true;
}

// The root of the first fixed or CD-ROM drive, in drive-letter order, whose
// root holds "MSDOS.SYS", as a copy for crt::free; null when none does or
// when the blocks or the drive list cannot be had. Other kinds of drive are
// never examined.
char* find_first_bootable_drive() {
  auto find_data = platform::allocate<WIN32_FIND_DATAA>(sizeof(WIN32_FIND_DATAA));
  if (!find_data) return nullptr;

  DWORD list_size = win::GetLogicalDriveStringsA(0, nullptr);
  if (list_size == 0) return nullptr;
  auto list = platform::allocate<char>(list_size);
  if (!list) return nullptr;
  DWORD written = win::GetLogicalDriveStringsA(list_size, list.get());
  // A list that grew since it was measured was not written at all.
  if (written == 0 || written >= list_size) return nullptr;

  for (const char* entry = list.get(); *entry; entry += std::strlen(entry) + 1) {
    UINT type = win::GetDriveTypeA(entry);
    if (type != DRIVE_FIXED && type != DRIVE_CDROM) continue;
    if (root_holds_boot_file(entry, find_data.get())) return crt::strdup(entry);
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
