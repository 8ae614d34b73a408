#include "platform/sim/file_system.h"

#include <cctype>
#include <vector>

namespace sim {

namespace {

bool is_separator(char c) { return c == '\\' || c == '/'; }

bool has_drive(const std::string& path) {
  return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

std::vector<std::string> components(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (is_separator(c)) {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

bool is_short_form(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return true;
  auto dot = name.find('.');
  if (name.find('.', dot == std::string::npos ? name.size() : dot + 1) != std::string::npos) {
    return false;
  }
  std::string base = dot == std::string::npos ? name : name.substr(0, dot);
  std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
  for (char c : name) {
    if (c == ' ' || c == '+' || c == ',' || c == ';' || c == '=' || c == '[' || c == ']') {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string parent_of(const std::string& full_path) {
  auto slash = full_path.rfind('\\');
  if (slash == std::string::npos) return "";
  return full_path.substr(0, slash <= 2 ? 3 : slash);
}

std::string made_short_name(const std::string& long_name) {
  if (is_short_form(long_name)) return long_name;
  auto dot = long_name.find_last_of('.');
  std::string base = dot == std::string::npos ? long_name : long_name.substr(0, dot);
  std::string ext = dot == std::string::npos ? "" : long_name.substr(dot + 1);
  std::string short_base;
  for (char c : base) {
    if (std::isalnum(static_cast<unsigned char>(c)) && short_base.size() < 6) short_base += c;
  }
  std::string short_ext;
  for (char c : ext) {
    if (std::isalnum(static_cast<unsigned char>(c)) && short_ext.size() < 3) short_ext += c;
  }
  std::string result = upper_ascii(short_base) + "~1";
  if (!short_ext.empty()) result += "." + upper_ascii(short_ext);
  return result;
}

std::string FileSystem::full_path(const std::string& path) const {
  if (path.empty()) return "";
  std::string drive;
  std::vector<std::string> parts;
  std::string rest;
  if (has_drive(path)) {
    drive = upper_ascii(path.substr(0, 2));
    rest = path.substr(2);
    if (rest.empty() || !is_separator(rest[0])) {
      // "X:name" is relative to the current directory when it is on that drive.
      if (upper_ascii(current_directory_.substr(0, 2)) != drive) return "";
      parts = components(current_directory_.substr(2));
    }
  } else if (!path.empty() && is_separator(path[0])) {
    if (path.size() > 1 && is_separator(path[1])) return "";  // no network paths here
    drive = current_directory_.substr(0, 2);
    rest = path;
  } else {
    drive = current_directory_.substr(0, 2);
    parts = components(current_directory_.substr(2));
    rest = path;
  }
  for (const auto& part : components(rest)) {
    if (part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    // Windows drops trailing dots and blanks of a name.
    std::string trimmed = part;
    while (!trimmed.empty() && (trimmed.back() == '.' || trimmed.back() == ' ')) trimmed.pop_back();
    if (trimmed.empty()) return "";
    parts.push_back(trimmed);
  }
  std::string full = drive + "\\";
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) full += "\\";
    full += parts[i];
  }
  return full;
}

FileEntry& FileSystem::add_directory(const std::string& path, const std::string& short_name) {
  std::string full = full_path(path);
  if (full.size() > 3) add_directory(parent_of(full));
  FileEntry& entry = entries_[full];
  if (entry.path.empty()) entry.path = full;
  entry.attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if (!short_name.empty()) entry.short_name = short_name;
  return entry;
}

FileEntry& FileSystem::add_file(const std::string& path, DWORD attributes,
                                const std::string& contents) {
  std::string full = full_path(path);
  add_directory(parent_of(full));
  FileEntry& entry = entries_[full];
  entry.path = full;
  entry.attributes = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY);
  entry.contents = contents;
  return entry;
}

void FileSystem::remove(const std::string& path) {
  std::string full = full_path(path);
  std::string prefix = upper_ascii(full) + "\\";
  for (auto it = entries_.begin(); it != entries_.end();) {
    std::string key = upper_ascii(it->first);
    if (key == upper_ascii(full) || key.compare(0, prefix.size(), prefix) == 0) {
      it = entries_.erase(it);
    } else {
      ++it;
    }
  }
}

const FileEntry* FileSystem::find(const std::string& path) const {
  std::string full = full_path(path);
  if (full.empty()) return nullptr;
  auto it = entries_.find(full);
  return it == entries_.end() ? nullptr : &it->second;
}

bool FileSystem::is_directory(const std::string& path) const {
  const FileEntry* entry = find(path);
  return entry && entry->is_directory();
}

bool FileSystem::set_current_directory(const std::string& path) {
  if (!is_directory(path)) return false;
  current_directory_ = find(path)->path;
  return true;
}

std::optional<std::string> FileSystem::short_path(const std::string& path) const {
  if (!find(path)) return std::nullopt;
  // Shorten the components as given, so that a relative path stays relative.
  std::string result;
  std::string walked;
  size_t start = 0;
  if (has_drive(path)) {
    result = path.substr(0, 2);
    walked = result;
    start = 2;
  }
  std::string part;
  auto flush = [&] {
    if (part.empty()) return;
    walked += part;
    std::string name = part;
    if (part != "." && part != "..") {
      const FileEntry* entry = find(walked);
      name = entry && !entry->short_name.empty() ? entry->short_name : made_short_name(part);
    }
    result += name;
    part.clear();
  };
  for (size_t i = start; i < path.size(); ++i) {
    if (is_separator(path[i])) {
      flush();
      walked += '\\';
      result += '\\';
    } else {
      part += path[i];
    }
  }
  flush();
  return result;
}

}  // namespace sim
