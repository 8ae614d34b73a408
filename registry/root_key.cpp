#include "registry/root_key.h"

#include <cstring>

namespace registry {

HKEY root_key_named(const char* name) noexcept {
  if (!name) return nullptr;
  struct Root {
    const char* name;
    HKEY key;
  };
  const Root roots[] = {
      {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
      {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
      {"HKEY_USERS", HKEY_USERS},
      {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
  };
  for (const auto& root : roots) {
    if (std::strcmp(name, root.name) == 0) return root.key;
  }
  return nullptr;
}

}  // namespace registry
