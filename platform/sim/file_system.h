// The simulated file tree: directories and files by their Windows paths, the
// process's current directory, and each entry's short (8.3) name.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/host/win_types.h"
#include "platform/sim/no_case.h"

namespace sim {

#define FILE_ATTRIBUTE_READONLY 0x01
#define FILE_ATTRIBUTE_HIDDEN 0x02
#define FILE_ATTRIBUTE_SYSTEM 0x04
#define FILE_ATTRIBUTE_DIRECTORY 0x10
#define FILE_ATTRIBUTE_ARCHIVE 0x20

struct FileEntry {
  std::string path;  // full path as created, e.g. C:\Program Files\App
  DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
  std::string short_name;  // empty: made from the long name
  std::string contents;
  bool is_directory() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};

class FileSystem {
 public:
  // Both create missing parent directories; a path is absolute or relative to
  // the current directory.
  FileEntry& add_directory(const std::string& path, const std::string& short_name = "");
  FileEntry& add_file(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_ARCHIVE,
                      const std::string& contents = "");
  void remove(const std::string& path);

  const FileEntry* find(const std::string& path) const;
  bool is_directory(const std::string& path) const;

  // The absolute, normalised form of a path: "X:\a\b" with no trailing
  // backslash except on a root; empty for a path that cannot be formed.
  std::string full_path(const std::string& path) const;
  std::optional<std::string> short_path(const std::string& path) const;

  const std::string& current_directory() const { return current_directory_; }
  bool set_current_directory(const std::string& path);

 private:
  std::map<std::string, FileEntry, NoCaseLess> entries_;
  std::string current_directory_ = "C:\\";
};

// The folder that holds a full path: "C:\\a" for "C:\\a\\b", the root "C:\\" for
// "C:\\a" and for the root itself; empty for a path without a backslash.
std::string parent_of(const std::string& full_path);

// The 8.3 form that a long name gets when no short name was staged.
std::string made_short_name(const std::string& long_name);

}  // namespace sim
