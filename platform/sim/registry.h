// The simulated registry: four root keys, keys with typed values, and the
// table of open handles (so a test can show that none is left open).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/host/win_types.h"
#include "platform/sim/no_case.h"

namespace sim {

struct RegistryValue {
  std::string name;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

struct RegistryKey {
  std::string name;
  std::map<std::string, RegistryValue, NoCaseLess> values;
  std::map<std::string, std::shared_ptr<RegistryKey>, NoCaseLess> subkeys;
  // An open that asks for more than read access is denied, as for a key the
  // user may read but not change.
  bool read_only = false;
  bool deleted = false;
};

class Registry {
 public:
  Registry();

  // Staging: `path` is a backslash-separated sub-key path below a root key.
  RegistryKey& ensure_key(HKEY root, const std::string& path);
  RegistryKey* find_key(HKEY root, const std::string& path);
  void set_value(HKEY root, const std::string& path, const std::string& name, DWORD type,
                 std::vector<BYTE> data);
  // Stores the text and its NUL.
  void set_text(HKEY root, const std::string& path, const std::string& name,
                const std::string& text, DWORD type = REG_SZ);
  void set_dword(HKEY root, const std::string& path, const std::string& name, DWORD number);
  const RegistryValue* find_value(HKEY root, const std::string& path, const std::string& name);
  bool remove_key(HKEY root, const std::string& path);

  // Handles: a predefined root key or one that open() handed out.
  std::shared_ptr<RegistryKey> resolve(HKEY handle) const;
  std::shared_ptr<RegistryKey> walk(const std::shared_ptr<RegistryKey>& from,
                                    const std::string& path, bool create);
  HKEY open(std::shared_ptr<RegistryKey> key);
  bool close(HKEY handle);
  int open_handles() const { return static_cast<int>(handles_.size()); }

 private:
  std::map<ULONG_PTR, std::shared_ptr<RegistryKey>> roots_;
  std::map<ULONG_PTR, std::shared_ptr<RegistryKey>> handles_;
  ULONG_PTR next_handle_ = 0x1000;
};

// The name Windows gives a predefined root key, for the call log.
std::string root_key_name(HKEY key);

}  // namespace sim
