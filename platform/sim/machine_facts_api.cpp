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
  sim::log_call("GetComputerNameA " + std::to_string(*size));
  if (sim::take_fault("GetComputerNameA")) return FALSE;
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
  sim::log_call("GlobalMemoryStatus");
  *status = MEMORYSTATUS{};
  status->dwLength = sizeof(MEMORYSTATUS);
  status->dwTotalPhys = static_cast<SIZE_T>(sim::machine().total_physical_memory);
  status->dwAvailPhys = status->dwTotalPhys / 2;
}

int GetSystemMetrics(int index) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  sim::log_call("GetSystemMetrics " + std::to_string(index));
  if (sim::take_fault("GetSystemMetrics")) return 0;
  const auto& display = sim::machine().display;
  if (index == SM_CXSCREEN) return display.width;
  if (index == SM_CYSCREEN) return display.height;
  return 0;
}

HDC GetDC(HWND window) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  sim::log_call(std::string("GetDC ") + (window ? "window" : "null"));
  if (sim::take_fault("GetDC")) return nullptr;
  ++sim::machine().display.device_contexts_out;
  return screen_dc;
}

int GetDeviceCaps(HDC dc, int index) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  sim::log_call("GetDeviceCaps " + std::to_string(index));
  if (dc != screen_dc || index != BITSPIXEL) return 0;
  return sim::machine().display.bits_per_pixel;
}

int ReleaseDC(HWND window, HDC dc) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  sim::log_call(std::string("ReleaseDC ") + (window ? "window" : "null"));
  auto& display = sim::machine().display;
  if (dc != screen_dc || display.device_contexts_out == 0) return 0;
  --display.device_contexts_out;
  return 1;
}

BOOL EnumDisplaySettingsA(LPCSTR device, DWORD mode, DEVMODEA* record) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  sim::log_call(std::string("EnumDisplaySettingsA ") + (device ? device : "null") + " " +
                std::to_string(mode) + " " + std::to_string(record->dmSize));
  if (sim::take_fault("EnumDisplaySettingsA")) return FALSE;
  const auto& modes = sim::machine().display.modes;
  if (mode >= modes.size()) return FALSE;
  record->dmBitsPerPel = modes[mode].bits_per_pixel;
  record->dmPelsWidth = modes[mode].width;
  record->dmPelsHeight = modes[mode].height;
  record->dmDisplayFrequency = 60;
  return TRUE;
}

}  // namespace win
