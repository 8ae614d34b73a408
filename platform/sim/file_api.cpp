// Folder and current-directory operations of the seam, over the simulated file tree.
#include <cstring>

#include "platform/crt.h"
#include "platform/sim/machine.h"
#include "platform/win.h"

namespace {

// Windows' convention for the A functions that fill a caller's buffer: the
// length without the NUL when it fits, else the size needed and nothing written.
DWORD copy_out(const std::string& text, LPSTR buffer, DWORD size) {
  if (text.size() + 1 > size) return static_cast<DWORD>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

}  // namespace

namespace win {

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  if (sim::log_call(sim::Op::GetSystemDirectoryA, std::to_string(size))) return 0;
  return copy_out(sim::machine().system_directory, buffer, size);
}

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  if (sim::log_call(sim::Op::GetWindowsDirectoryA, std::to_string(size))) return 0;
  return copy_out(sim::machine().windows_directory, buffer, size);
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  if (sim::log_call(sim::Op::GetCurrentDirectoryA, std::to_string(size))) return 0;
  return copy_out(sim::machine().files.current_directory(), buffer, size);
}

DWORD GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD size) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  if (sim::log_call(sim::Op::GetShortPathNameA,
                    std::string("\"") + longPath + "\" " + std::to_string(size))) {
    return 0;
  }
  auto result = sim::machine().files.short_path(longPath);
  if (!result) return 0;
  return copy_out(*result, shortPath, size);
}

}  // namespace win

namespace crt {

int _chdir(const char* path) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  if (sim::log_call(sim::Op::_chdir, std::string("\"") + path + "\"")) return -1;
  return sim::machine().files.set_current_directory(path) ? 0 : -1;
}

}  // namespace crt
