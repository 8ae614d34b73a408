// The probe: loads zozudu.dll as the JVM would and prints every method's
// answer on this machine as a table.
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "fake_jni.h"
#include "native_module.h"

namespace {

struct Step {
  const char* method;
  std::vector<std::string> arguments;  // standard UTF-8
};

// What the probe asks, in order; a method may appear more than once.
const std::vector<Step> steps = {
    {"getSystemDirectory", {}},
    {"getWindowsDirectory", {}},
    {"getCurrentDir", {}},
    {"chdir", {"C:\\windows"}},
    {"getCurrentDir", {}},
    {"chdir", {"C:\\no such folder"}},
    {"getShortPathName", {"C:\\Program Files"}},
    {"getShortPathName", {"C:\\no such folder"}},
    {"getStartupDir", {}},
    {"createSC",
     {"{temp}\\probe.lnk", "C:\\windows\\notepad.exe", "zozudu probe", "C:\\windows", "/a",
      "C:\\windows\\notepad.exe", "Minimized"}},
    {"createSC",
     {"{temp}\\no such folder\\probe.lnk", "C:\\windows\\notepad.exe", "", "", "", "", ""}},
    {"shellExecute", {"C:\\no such folder\\nothing.exe"}},
    // reboot is never called: it would restart the machine.
    {"desWin", {}},
    // A registry round trip under a key of the probe's own, removed at the end.
    {"setReg", {"HKEY_CURRENT_USER", "Software\\zozudu\\Probe", "text", "probe \u00E9"}},
    {"getRegString", {"HKEY_CURRENT_USER", "Software\\zozudu\\Probe", "text"}},
    {"setRegDWord", {"HKEY_CURRENT_USER", "Software\\zozudu\\Probe", "number", "65"}},
    {"getRegString", {"HKEY_CURRENT_USER", "Software\\zozudu\\Probe", "number"}},
    {"getRegString", {"hkey_current_user", "Software\\zozudu\\Probe", "text"}},
    {"delReg", {"HKEY_CURRENT_USER", "Software\\zozudu\\Probe", "text"}},
    {"delReg", {"HKEY_CURRENT_USER", "Software\\zozudu\\Probe", "text"}},
    {"delRegKey", {"HKEY_CURRENT_USER", "Software\\zozudu\\Probe"}},
    {"delRegKey", {"HKEY_CURRENT_USER", "Software\\zozudu"}},
    {"getRegString", {"HKEY_CURRENT_USER", "Software\\zozudu\\Probe", "text"}},
    // The machine, its display and its processor.
    {"getComputerName", {}},
    {"getRAM", {}},
    {"getCPUVendor", {}},
    {"getCPUSpeed", {}},
    {"getScreenX", {}},
    {"getScreenY", {}},
    {"getColorBits", {}},
    {"getMaxScreenWidth", {}},
    {"getMaxScreenHeight", {}},
    // The drives: one pass of the enumerator and the start of the next.
    {"getLogicalDrives", {}},
    {"getLogicalDriveStrings", {}},
    {"getLogicalDriveStrings", {}},
    {"getLogicalDriveStrings", {}},
    {"getLogicalDriveStrings", {}},
    {"getLogicalDriveStrings", {}},
    {"getDriveType", {"C:\\"}},
    {"getDriveType", {"Z:\\"}},
    {"getDriveType", {"Q:\\"}},
    {"isHD", {"C:\\"}},
    {"isHD", {"Q:\\"}},
    {"getDiskFreeSpace", {"C:\\"}},
    {"getDiskFreeSpace", {"Q:\\"}},
    {"getFirstBootableDrive", {}},
    {"getCurrentDir", {}},
};

// "{temp}" in an argument stands for a fresh folder below the temporary one.
std::string expand(const std::string& argument, const std::string& temp) {
  std::string text = argument;
  auto at = text.find("{temp}");
  if (at != std::string::npos) text.replace(at, 6, temp);
  return text;
}

// What createSC saved: the file's size and the ShowCommand stored at offset 0x3C.
void show_saved_shortcut(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    std::printf("\nshortcut %s: not saved\n", path.c_str());
    return;
  }
  unsigned char bytes[4096];
  std::size_t size = std::fread(bytes, 1, sizeof bytes, file);
  std::fclose(file);
  unsigned long show = size >= 0x40 ? bytes[0x3C] | bytes[0x3D] << 8 | bytes[0x3E] << 16 |
                                          static_cast<unsigned long>(bytes[0x3F]) << 24
                                    : 0;
  std::printf("\nshortcut %s: %u bytes, shell link header %s, ShowCommand %lu\n", path.c_str(),
              static_cast<unsigned>(size), size >= 4 && bytes[0] == 0x4C ? "yes" : "no", show);
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string describe(fakejni::Env& java, const testhost::Result& r) {
  switch (r.kind) {
    case testhost::ResultKind::Int: return std::to_string(r.int_value);
    case testhost::ResultKind::Boolean:
      return r.boolean_value == 1   ? "true"
             : r.boolean_value == 0 ? "false"
                                    : "bad boolean " + std::to_string(r.boolean_value);
    case testhost::ResultKind::Long: return std::to_string(r.long_value);
    case testhost::ResultKind::Float: {
      char text[64];
      std::snprintf(text, sizeof text, "%.1f", static_cast<double>(r.float_value));
      return text;
    }
    case testhost::ResultKind::String:
      return r.string_value ? quoted(java.utf8(r.string_value)) : "null";
  }
  return "?";
}

}  // namespace

int main(int argc, char** argv) {
  std::string dll = argc > 1 ? argv[1] : "zozudu.dll";
  testhost::NativeModule module(dll);
  if (!module.loaded()) {
    std::printf("zozudu probe: cannot load %s (error %lu)\n", dll.c_str(), GetLastError());
    return 1;
  }
  int exported = 0;
  for (const auto& m : testhost::methods()) exported += module.entry(m) != nullptr;
  std::printf("zozudu probe: %s, %d-bit, %d of %d methods exported\n\n", dll.c_str(),
              static_cast<int>(8 * sizeof(void*)), exported,
              static_cast<int>(testhost::methods().size()));
  std::printf("%-22s %-16s %s\n", "method", "answer", "arguments");
  std::printf("%-22s %-16s %s\n", "------", "------", "---------");

  char temp_path[MAX_PATH];
  GetTempPathA(MAX_PATH, temp_path);
  std::string temp = std::string(temp_path) + "zozudu-probe";
  CreateDirectoryA(temp.c_str(), nullptr);
  DeleteFileA((temp + "\\probe.lnk").c_str());

  int failures = exported == static_cast<int>(testhost::methods().size()) ? 0 : 1;
  std::set<std::string> shown;
  for (const auto& step : steps) {
    fakejni::Env java;
    std::vector<jstring> args;
    std::string shown_args;
    for (const auto& a : step.arguments) {
      args.push_back(java.make_utf8(expand(a, temp)));
      shown_args += (shown_args.empty() ? "" : ", ") + quoted(a);
    }
    testhost::Result result = module.call(java.jni(), step.method, args);
    std::string answer = describe(java, result);
    if (!java.clean()) {
      answer += "   [JNI misuse]";
      failures = 1;
    }
    std::printf("%-22s %-16s %s\n", step.method, answer.c_str(), shown_args.c_str());
    shown.insert(step.method);
  }
  for (const auto& m : testhost::methods()) {
    if (!shown.count(m.name)) {
      std::printf("%-22s %-16s\n", m.name, "(exported; the probe never calls it)");
    }
  }
  show_saved_shortcut(temp + "\\probe.lnk");
  std::fflush(stdout);
  return failures;
}
