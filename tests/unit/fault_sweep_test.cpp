// The fault sweep: every method, on a machine staged so that it succeeds, is
// run once to read which platform operations it calls; then again from the
// same staged state once for each logged occurrence of each operation with
// exactly that occurrence failing, and once for each String borrow the JVM
// refuses. Every run must answer the method's failure value (or the outcome
// documented below), give back every borrow, leave nothing open, leave
// theRegKey empty and leave the process's current directory and locale as
// they were. The methods come from the generated method table, so a new
// method cannot be left out; the steps come from the call log, so a new
// platform call cannot either.
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fake_jni.h"
#include "platform/sim/machine.h"
#include "testing/entry_points.h"
#include "testing/leftovers.h"

namespace {

using sim::Op;

// ---- Calling any method of the table with String arguments ----------------

struct Method {
  std::string name;
  int arguments;
  bool string_result;
  entry_points::Caller caller;
  std::string call(fakejni::Env& java, const std::vector<jstring>& args) const {
    return entry_points::shown(caller(java.jni(), args), java);
  }
};

const std::vector<Method>& all_methods() {
  static const std::vector<Method> methods = [] {
    std::vector<Method> table;
    for (const auto& entry : entry_points::all()) {
      table.push_back({entry.name, entry.string_arguments,
                       entry.result == entry_points::ResultKind::String, entry.call});
    }
    return table;
  }();
  return methods;
}

// ---- What each method needs to succeed ------------------------------------

constexpr const char* test_key = "Software\\zozudu\\Test";

// getLogicalDriveStrings keeps its pass across calls: finishing the pass
// under way gives every run the same starting point.
void finish_drive_pass() {
  fakejni::Env java;
  for (int i = 0; i < 40; ++i) {
    jstring entry = Java_qav_Native_getLogicalDriveStrings(java.jni(), nullptr);
    if (java.is_null(entry) || java.utf8(entry).empty()) return;
  }
}

struct Plan {
  std::vector<std::string> arguments;  // UTF-8, one per String argument
  std::string failure;                 // the method's answer when a step fails
  std::function<void(sim::Machine&)> stage = [](sim::Machine&) {};
  bool moves_current_directory = false;  // its purpose (chdir)
  bool switches_locale = false;          // its purpose (getStartupDir)
};

const std::map<std::string, Plan>& plans() {
  static const std::map<std::string, Plan> table = {
      {"chdir", {{"C:\\TEMP"}, "-1", {}, true}},
      {"createSC",
       {{"C:\\TEMP\\app.lnk", "C:\\WINDOWS\\notepad.exe", "Notes", "C:\\TEMP", "-n",
         "C:\\WINDOWS\\notepad.exe", "Normal"},
        "false"}},
      {"delReg",
       {{"HKEY_CURRENT_USER", test_key, "Name"},
        "false",
        [](sim::Machine& m) { m.registry.set_text(HKEY_CURRENT_USER, test_key, "Name", "v"); }}},
      {"delRegKey",
       {{"HKEY_CURRENT_USER", test_key},
        "false",
        [](sim::Machine& m) { m.registry.ensure_key(HKEY_CURRENT_USER, test_key); }}},
      {"desWin", {{}, "0"}},  // calls nothing
      {"getCurrentDir", {{}, "\"\""}},
      {"getRegString",
       {{"HKEY_CURRENT_USER", test_key, "Name"},
        "\"\"",
        [](sim::Machine& m) {
          m.registry.set_text(HKEY_CURRENT_USER, test_key, "Name", "value");
        }}},
      {"getShortPathName", {{"C:\\Program Files"}, "\"\""}},
      {"getStartupDir", {{}, "\"\"", {}, false, true}},
      {"getSystemDirectory", {{}, "\"\""}},
      {"getWindowsDirectory", {{}, "\"\""}},
      {"reboot", {{}, "0", [](sim::Machine& m) { m.restarts.answer = TRUE; }}},
      {"setReg", {{"HKEY_CURRENT_USER", test_key, "Name", "value"}, "false"}},
      {"setRegDWord", {{"HKEY_CURRENT_USER", test_key, "Name", "42"}, "false"}},
      {"shellExecute", {{"C:\\TEMP"}, "0"}},
      {"getComputerName", {{}, "null"}},
      {"getRAM", {{}, "0"}},
      {"getScreenX", {{}, "0"}},
      {"getScreenY", {{}, "0"}},
      {"getColorBits", {{}, "0"}},
      {"getMaxScreenWidth", {{}, "0"}},
      {"getMaxScreenHeight", {{}, "0"}},
      // A time stamp that does not start at 0, so that a bogus 0 reads as a
      // counter gone backwards.
      {"getCPUSpeed", {{}, "0", [](sim::Machine& m) { m.clock.time_stamp = 5000000000ull; }}},
      {"getCPUVendor", {{}, "\"\""}},
      {"getLogicalDrives", {{}, "0"}},
      {"getLogicalDriveStrings", {{}, "null", [](sim::Machine&) { finish_drive_pass(); }}},
      // The label of the DRIVE_UNKNOWN a failing GetDriveTypeA answers.
      {"getDriveType", {{"C:\\"}, "\"Unknown\""}},
      {"isHD", {{"C:\\"}, "false"}},
      {"getDiskFreeSpace", {{"C:\\"}, "-1"}},
      // One drive only, so that every step of the scan decides the answer.
      {"getFirstBootableDrive",
       {{},
        "null",
        [](sim::Machine& m) {
          m.drives.erase('A');
          m.drives.erase('D');
          m.files.add_file("C:\\MSDOS.SYS", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
          m.files.set_current_directory("C:\\TEMP");
        }}},
  };
  return table;
}

// ---- The outcomes documented where a failing step does not fail the call ----

enum class Outcome { failure, unchanged, any };

// One step of a run: a platform operation's occurrence, or the n-th String
// borrow (refused by the JVM), or the result's new String (refused).
struct Step {
  enum Kind { operation, borrow, new_string } kind = operation;
  Op op = Op::malloc;
  int occurrence = 0;  // from 0; for borrows from 1, as the fake JNI counts
  std::string text() const {
    if (kind == borrow) return "JNI borrow #" + std::to_string(occurrence);
    if (kind == new_string) return "JNI new string";
    return std::string(sim::op_name(op)) + "#" + std::to_string(occurrence);
  }
};

struct Documented {
  const char* method;  // "" for every method
  Step::Kind kind;
  Op op;
  int occurrence;  // -1 for every occurrence
  Outcome outcome;
  const char* why;
};

constexpr int every = -1;

// First match wins; a step that matches nothing must give the failure value.
const Documented documented[] = {
    {"", Step::operation, Op::free, every, Outcome::unchanged,
     "free has no failure to report; the block it keeps is no longer the caller's"},
    {"createSC", Step::operation, Op::CoInitialize, every, Outcome::unchanged,
     "a thread in another apartment is refused, and the shell link works there too"},
    {"createSC", Step::operation, Op::IShellLinkA_SetPath, every, Outcome::unchanged,
     "the setters' answers are not examined"},
    {"createSC", Step::operation, Op::IShellLinkA_SetDescription, every, Outcome::unchanged,
     "the setters' answers are not examined"},
    {"createSC", Step::operation, Op::IShellLinkA_SetWorkingDirectory, every, Outcome::unchanged,
     "the setters' answers are not examined"},
    {"createSC", Step::operation, Op::IShellLinkA_SetArguments, every, Outcome::unchanged,
     "the setters' answers are not examined"},
    {"createSC", Step::operation, Op::IShellLinkA_SetShowCmd, every, Outcome::unchanged,
     "the setters' answers are not examined"},
    {"createSC", Step::operation, Op::IShellLinkA_SetIconLocation, every, Outcome::unchanged,
     "the setters' answers are not examined"},
    {"createSC", Step::operation, Op::IShellLinkA_Release, every, Outcome::unchanged,
     "Release has no failure; the file is saved before it"},
    {"createSC", Step::operation, Op::IPersistFile_Release, every, Outcome::unchanged,
     "Release has no failure; the file is saved before it"},
    {"createSC", Step::operation, Op::wctomb, every, Outcome::any,
     "a unit the locale refuses is left out of the link path; the shorter path may still be saved"},
    {"getRegString", Step::operation, Op::RegCloseKey, every, Outcome::unchanged,
     "the value was read before the close"},
    {"getCPUVendor", Step::operation, Op::RegCloseKey, every, Outcome::unchanged,
     "the value was read before the close"},
    {"getStartupDir", Step::operation, Op::RegCloseKey, every, Outcome::unchanged,
     "the value was read before the close"},
    {"getStartupDir", Step::operation, Op::setlocale, every, Outcome::unchanged,
     "the folder is read in the locale in force, and its ASCII text reads the same in both"},
    {"getColorBits", Step::operation, Op::ReleaseDC, every, Outcome::unchanged,
     "the colour depth was read before the release"},
    {"getMaxScreenWidth", Step::operation, Op::EnumDisplaySettingsA, 0, Outcome::failure, ""},
    {"getMaxScreenWidth", Step::operation, Op::EnumDisplaySettingsA, every, Outcome::any,
     "the list ends at the first refusal: the last mode before it is answered"},
    {"getMaxScreenHeight", Step::operation, Op::EnumDisplaySettingsA, 0, Outcome::failure, ""},
    {"getMaxScreenHeight", Step::operation, Op::EnumDisplaySettingsA, every, Outcome::any,
     "the list ends at the first refusal: the last mode before it is answered"},
    {"getCPUSpeed", Step::operation, Op::QueryPerformanceCounter, every, Outcome::unchanged,
     "a failed read repeats the last reading, and the wait goes on"},
    {"getCPUSpeed", Step::operation, Op::read_time_stamp_counter, 0, Outcome::any,
     "a bogus first stamp cannot be told from a real one"},
    {"setRegDWord", Step::operation, Op::strtoul, every, Outcome::unchanged,
     "text the runtime reads no digits from is the number 0, and 0 is written"},
    {"getFirstBootableDrive", Step::operation, Op::FindClose, every, Outcome::unchanged,
     "the entry was found before the close"},
};

bool matches(const char* method, Step::Kind kind, Op op, int occurrence, const std::string& name,
             const Step& step) {
  if (*method && name != method) return false;
  if (kind != step.kind) return false;
  if (kind == Step::operation && op != step.op) return false;
  return occurrence == every || occurrence == step.occurrence;
}

const Documented* documented_for(const std::string& method, const Step& step) {
  for (const auto& d : documented) {
    if (matches(d.method, d.kind, d.op, d.occurrence, method, step)) return &d;
  }
  return nullptr;
}

// ---- One run ---------------------------------------------------------------

struct Observed {
  std::string result;
  std::vector<sim::Call> calls;
  std::map<Op, std::uint64_t> counted;
  int borrows = 0;
  bool made_string = false;
  std::vector<std::string> violations;
};

// Platform calls that may follow a refused borrow: those that close or give
// back what is already open.
bool closes(Op op) {
  return op == Op::RegCloseKey || op == Op::FindClose || op == Op::ReleaseDC ||
         op == Op::IShellLinkA_Release || op == Op::IPersistFile_Release || op == Op::free;
}

Observed run_once(const Method& method, const Plan& plan, const std::optional<Step>& failing) {
  sim::reset();
  if (plan.stage) plan.stage(sim::machine());
  sim::machine().calls.clear();
  sim::machine().counted_calls.clear();
  const sim::Holdings before = sim::holdings();

  Observed r;
  fakejni::Env java;
  std::vector<jstring> args;
  for (const auto& text : plan.arguments) args.push_back(java.make_utf8(text));

  // The JNI event count at each platform call, to tell what came after a refusal.
  std::vector<std::pair<Op, std::size_t>> stamped;
  sim::machine().call_observer = [&](const sim::Call& call) {
    stamped.emplace_back(call.op, java.events().size());
  };
  if (failing) {
    if (failing->kind == Step::operation) {
      sim::fail(failing->op, sim::FailMode::once, 0, failing->occurrence);
    } else if (failing->kind == Step::borrow) {
      java.refuse_nth_borrow(failing->occurrence);
    } else {
      java.refuse_new_strings(true);
    }
  }
  r.result = method.call(java, args);
  sim::machine().call_observer = nullptr;
  r.calls = sim::machine().calls;
  r.counted = sim::machine().counted_calls;

  const auto& events = java.events();
  std::size_t refused = events.size();
  for (std::size_t i = 0; i < events.size(); ++i) {
    auto kind = events[i].kind;
    if (kind == fakejni::Env::Kind::BorrowUTF || kind == fakejni::Env::Kind::BorrowChars ||
        (kind == fakejni::Env::Kind::Refused && events[i].label != "new-utf" &&
         events[i].label != "new-string")) {
      ++r.borrows;
    }
    if (kind == fakejni::Env::Kind::NewUTF || kind == fakejni::Env::Kind::NewString) {
      r.made_string = true;
    }
    if (kind == fakejni::Env::Kind::Refused && refused == events.size()) refused = i;
  }

  auto& v = r.violations;
  for (std::size_t i = refused + 1; i < events.size(); ++i) {
    auto kind = events[i].kind;
    if (kind != fakejni::Env::Kind::ReleaseUTF && kind != fakejni::Env::Kind::ReleaseChars) {
      v.push_back("a JNI call other than a release after the refusal: " + java.trace()[i]);
    }
  }
  for (const auto& [op, at] : stamped) {
    if (at > refused && !closes(op)) {
      v.push_back(std::string("platform call after the refusal: ") + sim::op_name(op));
    }
  }

  bool purposeful_move = plan.moves_current_directory && r.result != plan.failure;
  for (auto& line :
       testing_support::leftovers(java, before, {purposeful_move, plan.switches_locale})) {
    v.push_back(std::move(line));
  }
  return r;
}

// The steps to fail, in the order the clean run took them: each logged
// occurrence; for an operation counted instead of logged, its first, second
// and last occurrence; each borrow; and the result's new String.
std::vector<Step> steps_of(const Observed& clean, const Method& method) {
  std::vector<Step> steps;
  std::map<Op, int> seen;
  for (const auto& call : clean.calls) {
    steps.push_back({Step::operation, call.op, seen[call.op]++});
  }
  for (const auto& [op, count] : clean.counted) {
    std::set<int> picks = {0, 1, static_cast<int>(count) - 1};
    for (int pick : picks) {
      if (pick >= 0 && pick < static_cast<int>(count)) steps.push_back({Step::operation, op, pick});
    }
  }
  for (int n = 1; n <= clean.borrows; ++n) steps.push_back({Step::borrow, Op::malloc, n});
  if (method.string_result && clean.made_string) steps.push_back({Step::new_string});
  return steps;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += (text.empty() ? "" : "; ") + line;
  return text;
}

class FaultSweep : public ::testing::Test {
 protected:
  void SetUp() override { sim::reset(); }
  void TearDown() override {
    finish_drive_pass();
    sim::reset();
  }
};

TEST_F(FaultSweep, EveryMethodAnswersItsFailureForEachFailingStepAndLeavesNothingBehind) {
  std::set<Op> operations;
  int method_operation_pairs = 0;
  int runs = 0;
  std::cout << "fault sweep: method | failing step | result | expected\n";

  for (const auto& method : all_methods()) {
    auto plan_it = plans().find(method.name);
    if (plan_it == plans().end()) {
      ADD_FAILURE() << method.name << ": no staging plan; add one to the sweep's table";
      continue;
    }
    const Plan& plan = plan_it->second;
    ASSERT_EQ(static_cast<int>(plan.arguments.size()), method.arguments) << method.name;

    Observed clean = run_once(method, plan, std::nullopt);
    std::cout << "  " << method.name << " | none | " << clean.result << " | success\n";
    EXPECT_TRUE(clean.violations.empty()) << method.name << " clean: " << joined(clean.violations);
    if (!clean.calls.empty() || !clean.counted.empty()) {
      EXPECT_NE(clean.result, plan.failure) << method.name << ": the staging must make it succeed";
    }

    std::set<Op> used;
    for (const auto& call : clean.calls) used.insert(call.op);
    for (const auto& counted : clean.counted) used.insert(counted.first);
    method_operation_pairs += static_cast<int>(used.size());

    for (const Step& step : steps_of(clean, method)) {
      if (step.kind == Step::operation) operations.insert(step.op);
      ++runs;
      Observed faulty = run_once(method, plan, step);

      const Documented* doc = documented_for(method.name, step);
      Outcome outcome = doc ? doc->outcome : Outcome::failure;
      // A refused borrow or result leaves an exception pending: no String can be made.
      std::string failure =
          step.kind != Step::operation && method.string_result ? "null" : plan.failure;
      std::string expected = outcome == Outcome::failure     ? failure
                             : outcome == Outcome::unchanged ? clean.result
                                                             : "any";
      std::vector<std::string> problems = faulty.violations;
      if (outcome != Outcome::any && faulty.result != expected) {
        problems.insert(problems.begin(), "answered " + faulty.result + ", not " + expected);
      }

      std::cout << "  " << method.name << " | " << step.text() << " | " << faulty.result << " | "
                << expected;
      if (doc && *doc->why) std::cout << " (" << doc->why << ")";
      if (!problems.empty()) {
        std::cout << " | FAILED: " << joined(problems);
        ADD_FAILURE() << method.name << " with " << step.text() << " failing: " << joined(problems);
      }
      std::cout << "\n";
    }
  }

  std::string unreached;
  for (int i = 0; i < sim::operation_count; ++i) {
    if (!operations.count(static_cast<Op>(i))) {
      unreached += std::string(unreached.empty() ? "" : ", ") + sim::op_name(static_cast<Op>(i));
    }
  }
  std::cout << "fault sweep size: " << all_methods().size() << " methods, "
            << method_operation_pairs << " (method, operation) pairs over " << operations.size()
            << " of the seam's " << sim::operation_count << " operations, " << runs
            << " failing runs\n"
            << "operations no method reaches: " << unreached << "\n";
  RecordProperty("methods", static_cast<int>(all_methods().size()));
  RecordProperty("method_operation_pairs", method_operation_pairs);
  RecordProperty("failing_runs", runs);
}

}  // namespace
