// Every String argument of every method, driven by the method table so that
// a method added to it cannot be left out.
// - A null argument gives the method's failure value, and no platform call
//   is made.
// - A borrow the JVM refuses (OutOfMemoryError is then pending) ends the
//   call at that point: on the JNI side only the releases of what was
//   already borrowed follow, in the method's usual order; on the platform
//   side only closes of what is already open; a String result is null, any
//   other result the failure value.
#include <algorithm>
#include <cstddef>
#include <map>

#include "testing/entry_points.h"
#include "module_test.h"
#include "registry/the_reg_key.h"

namespace {

using entry_points::EntryPoint;
using entry_points::ResultKind;

const char* const key_path = "Software\\zozudu\\Test";
const char* const leaf_path = "Software\\zozudu\\Test\\Leaf";

struct Argument {
  const char* label;
  std::string text;
};

// Arguments with which the method succeeds on the staged machine, and its
// failure value for a null argument; a refused one gives the same, except
// that a String result is null.
struct StringMethod {
  std::vector<Argument> arguments;
  std::string failure;
};

const std::map<std::string, StringMethod>& string_methods() {
  static const std::map<std::string, StringMethod> methods = {
      {"chdir", {{{"path", "C:\\WINDOWS"}}, "-1"}},
      {"createSC",
       {{{"linkPath", "C:\\TEMP\\app.lnk"},
         {"targetPath", "C:\\WINDOWS\\notepad.exe"},
         {"description", "Notes"},
         {"workingDir", "C:\\WINDOWS"},
         {"arguments", "-x"},
         {"iconPath", "shell32.dll"},
         {"showState", "Minimized"}},
        "false"}},
      {"delReg",
       {{{"root", "HKEY_CURRENT_USER"}, {"subKey", key_path}, {"valueName", "v"}}, "false"}},
      {"delRegKey", {{{"root", "HKEY_CURRENT_USER"}, {"subKey", leaf_path}}, "false"}},
      {"getDiskFreeSpace", {{{"directory", "C:\\"}}, "-1"}},
      {"getDriveType", {{{"root", "C:\\"}}, "\"No Root Directory\""}},
      {"getRegString",
       {{{"root", "HKEY_CURRENT_USER"}, {"subKey", key_path}, {"valueName", "v"}}, "\"\""}},
      {"getShortPathName", {{{"path", "C:\\Program Files"}}, "\"\""}},
      {"isHD", {{{"root", "C:\\"}}, "false"}},
      {"setReg",
       {{{"root", "HKEY_CURRENT_USER"}, {"subKey", key_path}, {"valueName", "v"}, {"value", "y"}},
        "false"}},
      {"setRegDWord",
       {{{"root", "HKEY_CURRENT_USER"}, {"subKey", key_path}, {"valueName", "v"}, {"value", "7"}},
        "false"}},
      {"shellExecute", {{{"path", "C:\\WINDOWS"}}, "0"}},
  };
  return methods;
}

enum class Spoil { none, null, refused };

// What one call did.
struct Outcome {
  std::string answer;  // as entry_points::shown writes it
  std::vector<std::string> trace;
  std::vector<std::string> faults;
  int outstanding = 0;
  bool exception_pending = false;
  std::vector<std::string> calls;
  std::size_t calls_at_refusal = 0;
};

bool starts_with(const std::string& line, const std::string& prefix) {
  return line.rfind(prefix, 0) == 0;
}

// Platform calls that only give back what is already open.
bool is_close(const std::string& call) {
  return starts_with(call, "RegCloseKey") || starts_with(call, "FindClose") ||
         call.find("::Release") != std::string::npos;
}

// The labels borrowed in a trace, and its releases.
std::vector<std::string> borrowed(const std::vector<std::string>& trace) {
  std::vector<std::string> labels;
  for (const auto& line : trace) {
    if (starts_with(line, "borrow ")) labels.push_back(line.substr(7));
    if (starts_with(line, "borrow-chars ")) labels.push_back(line.substr(13));
  }
  return labels;
}
bool is_release(const std::string& line) { return starts_with(line, "release"); }
std::string label_released(const std::string& line) { return line.substr(line.find(' ') + 1); }

class StringArguments : public ModuleTest {
 protected:
  static void stage() {
    sim::reset();
    sim::Registry& registry = sim::machine().registry;
    registry.set_text(HKEY_CURRENT_USER, key_path, "v", "x");
    registry.ensure_key(HKEY_CURRENT_USER, leaf_path);
  }

  // One call on a freshly staged machine and in a JNI environment of its
  // own, with the argument at `position` null or refused.
  static Outcome call_once(const EntryPoint& method, const StringMethod& row, std::size_t position,
                           Spoil spoil) {
    stage();
    fakejni::Env java;
    std::vector<jstring> arguments;
    for (const auto& a : row.arguments) arguments.push_back(java.make_utf8(a.text, a.label));
    Outcome run;
    if (spoil == Spoil::null) arguments[position] = nullptr;
    if (spoil == Spoil::refused) {
      java.refuse_borrow(arguments[position]);
      java.on_refusal([&run] { run.calls_at_refusal = sim::machine().calls.size(); });
    }
    run.answer = entry_points::shown(method.call(java.jni(), arguments), java);
    run.trace = java.trace();
    run.faults = java.faults();
    run.outstanding = java.outstanding();
    run.exception_pending = java.exception_pending();
    run.calls = sim::call_lines();
    return run;
  }

  // Nothing left open, whatever the call's outcome.
  static void expect_at_rest() {
    EXPECT_EQ(theRegKey.m_hKey, nullptr) << "theRegKey holds no key between calls";
    EXPECT_EQ(sim::machine().registry.open_handles(), 0) << "a registry key was left open";
    EXPECT_EQ(sim::machine().find_handles_open, 0) << "a find handle was left open";
    EXPECT_EQ(sim::machine().shell_links.live_objects, 0) << "a shell link was left alive";
  }

  // A failed call changed nothing on the staged machine.
  static void expect_untouched() {
    sim::Machine& m = sim::machine();
    const sim::RegistryValue* value = m.registry.find_value(HKEY_CURRENT_USER, key_path, "v");
    ASSERT_NE(value, nullptr) << "the value was deleted";
    EXPECT_EQ(value->data, (std::vector<BYTE>{'x', 0})) << "the value was written";
    EXPECT_NE(m.registry.find_key(HKEY_CURRENT_USER, leaf_path), nullptr) << "the key was deleted";
    EXPECT_EQ(m.files.current_directory(), "C:\\");
    EXPECT_TRUE(m.shell_links.saved.empty());
    EXPECT_TRUE(m.launches.accepted.empty());
  }

  // Each method of the table that takes Strings, with its row.
  template <typename Check>
  static void for_each_string_method(Check check) {
    for (const EntryPoint& method : entry_points::all()) {
      if (method.string_arguments == 0) continue;
      const auto row = string_methods().find(method.name);
      ASSERT_NE(row, string_methods().end()) << method.name << " has no row of arguments here";
      ASSERT_EQ(row->second.arguments.size(), static_cast<std::size_t>(method.string_arguments))
          << method.name;
      SCOPED_TRACE(method.name);
      check(method, row->second);
    }
  }
};

TEST_F(StringArguments, EveryRowBelongsToAMethodThatTakesThatManyStrings) {
  std::size_t methods_with_strings = 0;
  for (const EntryPoint& method : entry_points::all()) {
    if (method.string_arguments > 0) ++methods_with_strings;
  }
  EXPECT_EQ(string_methods().size(), methods_with_strings) << "a row names no such method";
  int rows_checked = 0;
  for_each_string_method([&](const EntryPoint&, const StringMethod&) { ++rows_checked; });
  EXPECT_EQ(rows_checked, static_cast<int>(methods_with_strings));
}

TEST_F(StringArguments, WithEveryArgumentGivenEachMethodSucceeds) {
  for_each_string_method([](const EntryPoint& method, const StringMethod& row) {
    const Outcome run = StringArguments::call_once(method, row, 0, Spoil::none);
    EXPECT_NE(run.answer, row.failure);
    EXPECT_NE(run.answer, "null");
    EXPECT_EQ(run.faults, std::vector<std::string>{});
    EXPECT_EQ(run.outstanding, 0);
    EXPECT_FALSE(run.exception_pending);
    std::vector<std::string> labels;
    for (const auto& a : row.arguments) labels.push_back(a.label);
    std::vector<std::string> seen = borrowed(run.trace);
    std::sort(labels.begin(), labels.end());
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, labels) << "each argument is borrowed once, so refusing it is a real case";
    expect_at_rest();
  });
}

TEST_F(StringArguments, ANullArgumentGivesTheFailureValueWithoutAPlatformCall) {
  for_each_string_method([](const EntryPoint& method, const StringMethod& row) {
    for (std::size_t position = 0; position < row.arguments.size(); ++position) {
      SCOPED_TRACE(std::string("null ") + row.arguments[position].label);
      const Outcome run = StringArguments::call_once(method, row, position, Spoil::null);
      EXPECT_EQ(run.answer, row.failure);
      EXPECT_EQ(run.calls, std::vector<std::string>{});
      EXPECT_EQ(run.faults, std::vector<std::string>{});
      EXPECT_EQ(run.outstanding, 0);
      EXPECT_FALSE(run.exception_pending);
      expect_at_rest();
      expect_untouched();
    }
  });
}

TEST_F(StringArguments, ARefusedBorrowEndsTheCallWithOnlyReleasesAndCloses) {
  for_each_string_method([](const EntryPoint& method, const StringMethod& row) {
    const Outcome normal = StringArguments::call_once(method, row, 0, Spoil::none);
    for (std::size_t position = 0; position < row.arguments.size(); ++position) {
      const std::string label = row.arguments[position].label;
      SCOPED_TRACE("refused " + label);
      const Outcome run = StringArguments::call_once(method, row, position, Spoil::refused);

      EXPECT_EQ(run.answer, method.result == ResultKind::String ? "null" : row.failure);
      EXPECT_TRUE(run.exception_pending);
      EXPECT_EQ(run.faults, std::vector<std::string>{}) << "a JNI call other than a release";
      EXPECT_EQ(run.outstanding, 0);

      // JNI: after the refusal, releases only, in the order the method
      // releases those texts when nothing is refused.
      const auto refusal = std::find(run.trace.begin(), run.trace.end(), "refused " + label);
      ASSERT_NE(refusal, run.trace.end());
      const std::vector<std::string> after(refusal + 1, run.trace.end());
      for (const auto& line : after) EXPECT_TRUE(is_release(line)) << line;
      const std::vector<std::string> held = borrowed(run.trace);
      std::vector<std::string> usual_order;
      for (const auto& line : normal.trace) {
        if (is_release(line) &&
            std::find(held.begin(), held.end(), label_released(line)) != held.end()) {
          usual_order.push_back(line);
        }
      }
      EXPECT_EQ(after, usual_order);

      // Platform: the method's usual course up to the refusal, then closes only.
      ASSERT_LE(run.calls_at_refusal, run.calls.size());
      ASSERT_LE(run.calls_at_refusal, normal.calls.size());
      const auto refusal_at = static_cast<std::ptrdiff_t>(run.calls_at_refusal);
      const auto until = [&](const std::vector<std::string>& calls) {
        return std::vector<std::string>(calls.begin(), calls.begin() + refusal_at);
      };
      EXPECT_EQ(until(run.calls), until(normal.calls));
      for (auto call = run.calls.begin() + refusal_at; call != run.calls.end(); ++call) {
        EXPECT_TRUE(is_close(*call)) << *call;
      }
      expect_at_rest();
      expect_untouched();
    }
  });
}

}  // namespace
