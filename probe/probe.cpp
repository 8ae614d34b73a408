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

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string describe(fakejni::Env& java, const testhost::Result& r) {
  switch (r.kind) {
    case testhost::ResultKind::Int: return std::to_string(r.int_value);
    case testhost::ResultKind::Boolean:
      return r.boolean_value == 1 ? "true" : r.boolean_value == 0 ? "false" : "bad boolean " +
                                                                        std::to_string(r.boolean_value);
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
  std::printf("%-22s %-28s %s\n", "method", "arguments", "answer");
  std::printf("%-22s %-28s %s\n", "------", "---------", "------");

  int failures = exported == static_cast<int>(testhost::methods().size()) ? 0 : 1;
  std::set<std::string> shown;
  for (const auto& step : steps) {
    fakejni::Env java;
    std::vector<jstring> args;
    std::string shown_args;
    for (const auto& a : step.arguments) {
      args.push_back(java.make_utf8(a));
      shown_args += (shown_args.empty() ? "" : ", ") + quoted(a);
    }
    testhost::Result result = module.call(java.jni(), step.method, args);
    std::string answer = describe(java, result);
    if (!java.clean()) {
      answer += "   [JNI misuse]";
      failures = 1;
    }
    std::printf("%-22s %-28s %s\n", step.method, shown_args.c_str(), answer.c_str());
    shown.insert(step.method);
  }
  for (const auto& m : testhost::methods()) {
    if (!shown.count(m.name)) {
      std::printf("%-22s %-28s %s\n", m.name, "", "(exported, not called by the probe)");
    }
  }
  std::fflush(stdout);
  return failures;
}
