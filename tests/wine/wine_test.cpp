// The Wine tests' shared helpers for commands, folders and the current directory.
#include "wine_test.h"

#include <windows.h>

#include <cstdio>

namespace wine {

std::string run_command(const std::string& command_line, int* exit_code) {
  std::string output;
  FILE* pipe = _popen(command_line.c_str(), "r");
  if (!pipe) return output;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
  int status = _pclose(pipe);
  if (exit_code) *exit_code = status;
  return output;
}

ScratchDirectory::ScratchDirectory(const std::string& name) {
  char temp[MAX_PATH] = "";
  GetTempPathA(sizeof temp, temp);
  path_ = std::string(temp) + "zozudu-" + name;
  run_command("rmdir /s /q \"" + path_ + "\" 2>NUL");
  CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchDirectory::~ScratchDirectory() { run_command("rmdir /s /q \"" + path_ + "\" 2>NUL"); }

std::string own_directory() {
  char self[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
  if (n == 0 || n >= sizeof self) return "";  // failed, or cut short
  std::string path(self, n);
  return path.substr(0, path.rfind('\\'));
}

std::string current_directory() {
  // Asked with no room, the platform answers the size it needs, terminator included.
  DWORD needed = GetCurrentDirectoryA(0, nullptr);
  if (needed == 0) return "";
  std::string directory(needed, '\0');
  DWORD n = GetCurrentDirectoryA(needed, directory.data());
  if (n == 0 || n >= needed) return "";  // failed, or moved meanwhile to a longer one
  directory.resize(n);
  return directory;
}

}  // namespace wine
