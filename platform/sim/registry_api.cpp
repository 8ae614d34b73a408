// The registry operations of the seam, answered from the simulated registry.
#include <algorithm>
#include <cstring>
#include <sstream>

#include "platform/sim/machine.h"
#include "platform/win.h"

namespace win {

namespace {

using sim::machine;

std::string text_or_null(LPCSTR text) { return text ? std::string("\"") + text + "\"" : "null"; }

std::string hex(DWORD value) {
  std::ostringstream out;
  out << "0x" << std::hex << value;
  return out.str();
}

// An open that asks for any right beyond reading.
bool asks_to_change(REGSAM access) { return (access & ~static_cast<REGSAM>(KEY_READ)) != 0; }

}  // namespace

LSTATUS RegOpenKeyExA(HKEY parent, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  sim::log_call("RegOpenKeyExA " + sim::root_key_name(parent) + " " + text_or_null(subKey) + " " +
                std::to_string(options) + " " + hex(access));
  long status = ERROR_ACCESS_DENIED;
  if (sim::take_fault("RegOpenKeyExA", &status)) return status ? status : ERROR_ACCESS_DENIED;
  auto& registry = machine().registry;
  auto from = registry.resolve(parent);
  if (!from) return ERROR_INVALID_HANDLE;
  auto key = registry.walk(from, subKey ? subKey : "", false);
  if (!key) return ERROR_FILE_NOT_FOUND;
  if (key->read_only && asks_to_change(access)) return ERROR_ACCESS_DENIED;
  *result = registry.open(key);
  return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD size) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  sim::log_call("RegQueryValueExA " + text_or_null(valueName) + " " +
                (size ? std::to_string(*size) : std::string("null")));
  long status = ERROR_FILE_NOT_FOUND;
  if (sim::take_fault("RegQueryValueExA", &status)) return status ? status : ERROR_FILE_NOT_FOUND;
  auto held = machine().registry.resolve(key);
  if (!held || held->deleted) return ERROR_INVALID_HANDLE;
  auto it = held->values.find(valueName ? valueName : "");
  if (it == held->values.end()) return ERROR_FILE_NOT_FOUND;
  const sim::RegistryValue& value = it->second;
  if (type) *type = value.type;
  DWORD needed = static_cast<DWORD>(value.data.size());
  if (data) {
    if (!size) return ERROR_INVALID_PARAMETER;
    if (*size < needed) {
      // Windows leaves the buffer's content undefined here; a partial copy is
      // the most misleading content, so the simulation writes one.
      std::memcpy(data, value.data.data(), *size);
      *size = needed;
      return ERROR_MORE_DATA;
    }
    std::memcpy(data, value.data.data(), needed);
  }
  if (size) *size = needed;
  return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  sim::log_call("RegCloseKey");
  long status = ERROR_INVALID_HANDLE;
  bool injected = sim::take_fault("RegCloseKey", &status);
  // A failed close still ends the handle's life in the simulation: the
  // caller is not allowed to close it again, so nothing else would.
  bool known = machine().registry.close(key);
  if (injected) return status ? status : ERROR_INVALID_HANDLE;
  return known ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace win
