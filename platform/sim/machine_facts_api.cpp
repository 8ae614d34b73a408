// Computer name, memory, screen metrics, the screen's device context and the
// display modes, answered from the simulated machine.
#include <cstring>

#include "platform/sim/machine.h"
#include "platform/win.h"

namespace {

// The one device context the simulated screen hands out.
HDC const screen_dc = reinterpret_cast<HDC>(static_cast<ULONG_PTR>(0x5C0));

}  // namespace

namespace win {

BOOL GetComputerNameA(LPSTR buffer, LPDWORD size) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  if (sim::log_call(sim::Op::GetComputerNameA, std::to_string(*size))) return FALSE;
  const std::string& name = sim::machine().computer_name;
  if (name.size() + 1 > *size) {
    *size = static_cast<DWORD>(name.size() + 1);
    return FALSE;
  }
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  *size = static_cast<DWORD>(name.size());
  return TRUE;
}

void GlobalMemoryStatus(LPMEMORYSTATUS status) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  bool injected = sim::log_call(sim::Op::GlobalMemoryStatus);
  *status = MEMORYSTATUS{};
  if (injected) return;  // it has no failure to report: the record stays all zeros
  status->dwLength = sizeof(MEMORYSTATUS);
  status->dwTotalPhys = static_cast<SIZE_T>(sim::machine().total_physical_memory);
  status->dwAvailPhys = status->dwTotalPhys / 2;
}

int GetSystemMetrics(int index) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  if (sim::log_call(sim::Op::GetSystemMetrics, std::to_string(index))) return 0;
  const auto& display = sim::machine().display;
  if (index == SM_CXSCREEN) return display.width;
  if (index == SM_CYSCREEN) return display.height;
  return 0;
}

HDC GetDC(HWND window) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  if (sim::log_call(sim::Op::GetDC, window ? "window" : "null")) return nullptr;
  ++sim::machine().display.device_contexts_out;
  return screen_dc;
}

int GetDeviceCaps(HDC dc, int index) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  if (sim::log_call(sim::Op::GetDeviceCaps, std::to_string(index))) return 0;
  if (dc != screen_dc || index != BITSPIXEL) return 0;
  return sim::machine().display.bits_per_pixel;
}

int ReleaseDC(HWND window, HDC dc) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  bool injected = sim::log_call(sim::Op::ReleaseDC, window ? "window" : "null");
  auto& display = sim::machine().display;
  if (dc != screen_dc || display.device_contexts_out == 0) return 0;
  // A failed release still ends the borrow: the caller may not release it again.
  --display.device_contexts_out;
  return injected ? 0 : 1;
}

BOOL EnumDisplaySettingsA(LPCSTR device, DWORD mode, DEVMODEA* record) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  if (sim::log_call(sim::Op::EnumDisplaySettingsA, std::string(device ? device : "null") + " " +
                                                       std::to_string(mode) + " " +
                                                       std::to_string(record->dmSize))) {
    return FALSE;
  }
  const auto& modes = sim::machine().display.modes;
  if (mode >= modes.size()) return FALSE;
  record->dmBitsPerPel = modes[mode].bits_per_pixel;
  record->dmPelsWidth = modes[mode].width;
  record->dmPelsHeight = modes[mode].height;
  record->dmDisplayFrequency = 60;
  return TRUE;
}

}  // namespace win
