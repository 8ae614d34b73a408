// A program for shellExecute to start: it writes the current directory it
// was started in to helper-cwd.txt next to itself, then exits.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
  char self[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string out(self, n);
  out = out.substr(0, out.rfind('\\') + 1) + "helper-cwd.txt";
  char directory[MAX_PATH];
  DWORD length = GetCurrentDirectoryA(MAX_PATH, directory);
  // Written under a temporary name and renamed, so a reader never sees half of it.
  std::string partial = out + ".part";
  FILE* file = std::fopen(partial.c_str(), "wb");
  if (!file) return 1;
  std::fwrite(directory, 1, length, file);
  std::fclose(file);
  return MoveFileA(partial.c_str(), out.c_str()) ? 0 : 1;
}
