// Drives, volumes, the current directory's drive and the file search,
// answered from the simulated drives and file tree.
#include <cctype>
#include <cstring>

#include "platform/sim/machine.h"
#include "platform/win.h"

namespace {

using sim::machine;

using sim::quoted;

// The drive that an absolute or relative path lies on, when it is present
// and has a medium.
const sim::Drive* ready_drive_of(LPCSTR path) {
  std::string full = machine().files.full_path(path ? path : "");
  if (full.empty()) return nullptr;
  auto it =
      machine().drives.find(static_cast<char>(std::toupper(static_cast<unsigned char>(full[0]))));
  if (it == machine().drives.end() || !it->second.has_medium) return nullptr;
  return &it->second;
}

// "X:\" (or "X:") names a root; anything longer is no root at all.
const sim::Drive* drive_of_root(LPCSTR root) {
  if (!root) return nullptr;
  size_t length = std::strlen(root);
  if (length < 2 || length > 3 || root[1] != ':') return nullptr;
  if (length == 3 && root[2] != '\\' && root[2] != '/') return nullptr;
  auto it =
      machine().drives.find(static_cast<char>(std::toupper(static_cast<unsigned char>(root[0]))));
  return it == machine().drives.end() ? nullptr : &it->second;
}

std::string drive_list() {
  std::string list;
  for (const auto& [letter, drive] : machine().drives) {
    list += letter;
    list += ":\\";
    list += '\0';
  }
  list += '\0';
  return list;
}

}  // namespace

namespace sim {

Drive& add_drive(Machine& m, char letter, UINT type, bool has_medium) {
  Drive& drive = m.drives[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))];
  drive.type = type;
  drive.has_medium = has_medium;
  if (has_medium) m.files.add_directory(std::string(1, letter) + ":\\");
  return drive;
}

}  // namespace sim

namespace win {

DWORD GetLogicalDrives() {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  if (sim::log_call(sim::Op::GetLogicalDrives)) return 0;
  DWORD mask = 0;
  for (const auto& entry : machine().drives) mask |= 1u << (entry.first - 'A');
  return mask;
}

DWORD GetLogicalDriveStringsA(DWORD length, LPSTR buffer) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  if (sim::log_call(sim::Op::GetLogicalDriveStringsA,
                    std::to_string(length) + (buffer ? " buffer" : " null"))) {
    return 0;
  }
  std::string list = drive_list();
  if (!buffer || list.size() > length) return static_cast<DWORD>(list.size());
  std::memcpy(buffer, list.data(), list.size());
  return static_cast<DWORD>(list.size() - 1);
}

UINT GetDriveTypeA(LPCSTR root) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  long answer = DRIVE_UNKNOWN;
  if (sim::log_call(sim::Op::GetDriveTypeA, quoted(root), &answer)) {
    return answer == DRIVE_NO_ROOT_DIR ? DRIVE_NO_ROOT_DIR : DRIVE_UNKNOWN;
  }
  const sim::Drive* drive = drive_of_root(root);
  return drive ? drive->type : DRIVE_NO_ROOT_DIR;
}

BOOL GetDiskFreeSpaceExA(LPCSTR directory, PULARGE_INTEGER freeToCaller, PULARGE_INTEGER totalBytes,
                         PULARGE_INTEGER totalFreeBytes) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  if (sim::log_call(sim::Op::GetDiskFreeSpaceExA, quoted(directory))) return FALSE;
  const sim::Drive* drive = ready_drive_of(directory);
  if (!drive || !machine().files.is_directory(directory)) return FALSE;
  if (freeToCaller) freeToCaller->QuadPart = drive->free_to_caller;
  if (totalBytes) totalBytes->QuadPart = drive->total_bytes;
  if (totalFreeBytes) totalFreeBytes->QuadPart = drive->free_bytes;
  return TRUE;
}

HANDLE FindFirstFileA(LPCSTR name, LPWIN32_FIND_DATAA findData) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  if (sim::log_call(sim::Op::FindFirstFileA,
                    quoted(name) + " in " + machine().files.current_directory())) {
    return INVALID_HANDLE_VALUE;
  }
  if (!ready_drive_of(name)) return INVALID_HANDLE_VALUE;
  const sim::FileEntry* entry = machine().files.find(name);
  if (!entry) return INVALID_HANDLE_VALUE;
  *findData = WIN32_FIND_DATAA{};
  findData->dwFileAttributes = entry->attributes;
  std::string base = entry->path.substr(entry->path.find_last_of('\\') + 1);
  std::strncpy(findData->cFileName, base.c_str(), MAX_PATH - 1);
  int handle = ++machine().find_handles_open;
  return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x4000 + handle));
}

BOOL FindClose(HANDLE find) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  bool injected = sim::log_call(sim::Op::FindClose);
  if (find == INVALID_HANDLE_VALUE || machine().find_handles_open == 0) return FALSE;
  // A failed close still ends the handle's life: the caller may not close it again.
  --machine().find_handles_open;
  return injected ? FALSE : TRUE;
}

}  // namespace win
