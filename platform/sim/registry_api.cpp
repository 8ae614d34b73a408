// The registry operations of the seam, answered from the simulated registry.
#include <algorithm>
#include <cstring>
#include <sstream>

#include "platform/sim/machine.h"
#include "platform/win.h"

namespace win {

namespace {

using sim::machine;

std::string hex(DWORD value) {
  std::ostringstream out;
  out << "0x" << std::hex << value;
  return out.str();
}

// A staged failure's status; ERROR_SUCCESS would be no failure at all.
LSTATUS failure_or(long staged, LSTATUS usual) {
  return staged != ERROR_SUCCESS ? static_cast<LSTATUS>(staged) : usual;
}

// An open that asks for any right beyond reading.
bool asks_to_change(REGSAM access) { return (access & ~static_cast<REGSAM>(KEY_READ)) != 0; }

std::string bytes_hex(const BYTE* data, DWORD size) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (DWORD i = 0; i < size; ++i) {
    if (i) out += ' ';
    out += digits[data[i] >> 4];
    out += digits[data[i] & 15];
  }
  return out;
}

}  // namespace

LSTATUS RegOpenKeyExA(HKEY parent, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  long status = 0;
  if (sim::log_call(sim::Op::RegOpenKeyExA,
                    sim::root_key_name(parent) + " " + sim::quoted(subKey) + " " +
                        std::to_string(options) + " " + hex(access),
                    &status)) {
    return failure_or(status, ERROR_ACCESS_DENIED);
  }
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
  long status = 0;
  if (sim::log_call(
          sim::Op::RegQueryValueExA,
          sim::quoted(valueName) + " " + (size ? std::to_string(*size) : std::string("null")),
          &status)) {
    return failure_or(status, ERROR_FILE_NOT_FOUND);
  }
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
    if (needed) std::memcpy(data, value.data.data(), needed);
  }
  if (size) *size = needed;
  return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  long status = 0;
  bool injected = sim::log_call(sim::Op::RegCloseKey, "", &status);
  // A failed close still ends the handle's life in the simulation: the
  // caller is not allowed to close it again, so nothing else would.
  bool known = machine().registry.close(key);
  if (injected) return failure_or(status, ERROR_INVALID_HANDLE);
  return known ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LSTATUS RegCreateKeyExA(HKEY parent, LPCSTR subKey, DWORD reserved, LPSTR className, DWORD options,
                        REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                        LPDWORD disposition) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  long status = 0;
  if (sim::log_call(
          sim::Op::RegCreateKeyExA,
          sim::root_key_name(parent) + " " + sim::quoted(subKey) + " " + std::to_string(reserved) +
              " " + sim::quoted(className) + " " + std::to_string(options) + " " + hex(access) +
              " " + (security ? "security" : "null") + " " + (disposition ? "disposition" : "null"),
          &status)) {
    return failure_or(status, ERROR_ACCESS_DENIED);
  }
  if (!subKey || !result) return ERROR_INVALID_PARAMETER;
  auto& registry = machine().registry;
  auto from = registry.resolve(parent);
  if (!from) return ERROR_INVALID_HANDLE;
  bool existed = registry.walk(from, subKey, false) != nullptr;
  auto key = registry.walk(from, subKey, true);
  if (!key) return ERROR_INVALID_HANDLE;
  if (existed && key->read_only && asks_to_change(access)) return ERROR_ACCESS_DENIED;
  *result = registry.open(key);
  if (disposition) *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
  return ERROR_SUCCESS;
}

LSTATUS RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                       DWORD size) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  long status = 0;
  if (sim::log_call(sim::Op::RegSetValueExA,
                    sim::quoted(valueName) + " " + std::to_string(reserved) + " " +
                        std::to_string(type) + " " + std::to_string(size) + " [" +
                        (data ? bytes_hex(data, size) : std::string("null")) + "]",
                    &status)) {
    return failure_or(status, ERROR_ACCESS_DENIED);
  }
  auto held = machine().registry.resolve(key);
  if (!held || held->deleted) return ERROR_INVALID_HANDLE;
  if (!data && size) return ERROR_INVALID_PARAMETER;
  std::string name = valueName ? valueName : "";
  held->values[name] = sim::RegistryValue{name, type, std::vector<BYTE>(data, data + size)};
  return ERROR_SUCCESS;
}

LSTATUS RegDeleteValueA(HKEY key, LPCSTR valueName) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  long status = 0;
  if (sim::log_call(sim::Op::RegDeleteValueA, sim::quoted(valueName), &status)) {
    return failure_or(status, ERROR_ACCESS_DENIED);
  }
  auto held = machine().registry.resolve(key);
  if (!held || held->deleted) return ERROR_INVALID_HANDLE;
  return held->values.erase(valueName ? valueName : "") ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LSTATUS RegDeleteKeyA(HKEY key, LPCSTR subKey) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  long status = 0;
  if (sim::log_call(sim::Op::RegDeleteKeyA, sim::root_key_name(key) + " " + sim::quoted(subKey),
                    &status)) {
    return failure_or(status, ERROR_ACCESS_DENIED);
  }
  auto& registry = machine().registry;
  auto from = registry.resolve(key);
  if (!from) return ERROR_INVALID_HANDLE;
  if (!subKey || !*subKey) return ERROR_ACCESS_DENIED;  // a key cannot delete itself this way
  auto target = registry.walk(from, subKey, false);
  if (!target || target == from) return ERROR_FILE_NOT_FOUND;
  if (!target->subkeys.empty()) return ERROR_ACCESS_DENIED;  // Windows deletes leaf keys only
  return registry.remove_key(key, subKey) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

}  // namespace win
