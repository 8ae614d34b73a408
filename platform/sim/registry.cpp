#include "platform/sim/registry.h"

#include <sstream>

namespace sim {

namespace {

constexpr ULONG_PTR root_ids[] = {0x80000000u, 0x80000001u, 0x80000002u, 0x80000003u};
constexpr const char* root_names[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                      "HKEY_LOCAL_MACHINE", "HKEY_USERS"};

std::vector<std::string> split_path(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(path);
  while (std::getline(in, part, '\\')) {
    if (!part.empty()) parts.push_back(part);
  }
  return parts;
}

}  // namespace

std::string root_key_name(HKEY key) {
  auto id = reinterpret_cast<ULONG_PTR>(key);
  for (int i = 0; i < 4; ++i) {
    if (root_ids[i] == id) return root_names[i];
  }
  std::ostringstream out;
  out << "0x" << std::hex << id;
  return out.str();
}

Registry::Registry() {
  for (int i = 0; i < 4; ++i) {
    auto key = std::make_shared<RegistryKey>();
    key->name = root_names[i];
    roots_[root_ids[i]] = key;
  }
}

std::shared_ptr<RegistryKey> Registry::resolve(HKEY handle) const {
  auto id = reinterpret_cast<ULONG_PTR>(handle);
  auto root = roots_.find(id);
  if (root != roots_.end()) return root->second;
  auto open = handles_.find(id);
  if (open != handles_.end()) return open->second;
  return nullptr;
}

std::shared_ptr<RegistryKey> Registry::walk(const std::shared_ptr<RegistryKey>& from,
                                            const std::string& path, bool create) {
  if (!from || from->deleted) return nullptr;
  std::shared_ptr<RegistryKey> key = from;
  for (const auto& part : split_path(path)) {
    auto it = key->subkeys.find(part);
    if (it == key->subkeys.end()) {
      if (!create) return nullptr;
      auto child = std::make_shared<RegistryKey>();
      child->name = part;
      it = key->subkeys.emplace(part, child).first;
    }
    key = it->second;
  }
  return key;
}

RegistryKey& Registry::ensure_key(HKEY root, const std::string& path) {
  return *walk(resolve(root), path, true);
}

RegistryKey* Registry::find_key(HKEY root, const std::string& path) {
  return walk(resolve(root), path, false).get();
}

void Registry::set_value(HKEY root, const std::string& path, const std::string& name, DWORD type,
                         std::vector<BYTE> data) {
  RegistryKey& key = ensure_key(root, path);
  key.values[name] = RegistryValue{name, type, std::move(data)};
}

void Registry::set_text(HKEY root, const std::string& path, const std::string& name,
                        const std::string& text, DWORD type) {
  std::vector<BYTE> data(text.begin(), text.end());
  data.push_back(0);
  set_value(root, path, name, type, std::move(data));
}

void Registry::set_dword(HKEY root, const std::string& path, const std::string& name,
                         DWORD number) {
  std::vector<BYTE> data;
  for (int i = 0; i < 4; ++i) data.push_back(static_cast<BYTE>(number >> (8 * i)));
  set_value(root, path, name, REG_DWORD, std::move(data));
}

const RegistryValue* Registry::find_value(HKEY root, const std::string& path,
                                          const std::string& name) {
  RegistryKey* key = find_key(root, path);
  if (!key) return nullptr;
  auto it = key->values.find(name);
  return it == key->values.end() ? nullptr : &it->second;
}

bool Registry::remove_key(HKEY root, const std::string& path) {
  auto parts = split_path(path);
  if (parts.empty()) return false;
  std::string leaf = parts.back();
  parts.pop_back();
  std::string parent_path;
  for (const auto& p : parts) parent_path += p + "\\";
  auto parent = walk(resolve(root), parent_path, false);
  if (!parent) return false;
  auto it = parent->subkeys.find(leaf);
  if (it == parent->subkeys.end()) return false;
  it->second->deleted = true;
  parent->subkeys.erase(it);
  return true;
}

HKEY Registry::open(std::shared_ptr<RegistryKey> key) {
  ULONG_PTR id = next_handle_;
  next_handle_ += 4;
  handles_[id] = std::move(key);
  return reinterpret_cast<HKEY>(id);
}

bool Registry::close(HKEY handle) {
  return handles_.erase(reinterpret_cast<ULONG_PTR>(handle)) == 1;
}

}  // namespace sim
