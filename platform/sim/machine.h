// The simulated Windows machine behind the host build's seam.
//
// Plain data that a test stages before calling an entry point, plus a log of
// the platform calls made and a switch per operation to make it fail. One
// machine serves the whole process; reset() gives the default machine back.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/host/win_types.h"
#include "platform/sim/file_system.h"
#include "platform/sim/hardware.h"
#include "platform/sim/registry.h"

namespace sim {

// The C runtime's locale as the Windows runtime keeps it: "C" from start-up
// until setlocale switches to the user's default. The user's code page is
// Windows-1252 or the double-byte 932 (platform/sim/code_page.h).
struct RuntimeLocale {
  bool user_default = false;
  std::string user_name = "English_United States.1252";
  int user_code_page = 1252;
  // Another thread's setlocale(LC_ALL, "") landing in the middle of a
  // conversion: the locale switches to the user's right after this many
  // more wctomb calls (0: no switch staged).
  int switch_to_user_after_wctombs = 0;
};

// A user whose locale is Japanese, with code page 932.
inline void stage_double_byte_user_locale(RuntimeLocale& locale) {
  locale.user_name = "Japanese_Japan.932";
  locale.user_code_page = 932;
}

enum class FailMode { once, always };

struct Fault {
  FailMode mode = FailMode::always;
  long status = 0;  // what the failing call reports, where it reports a status
  int after = 0;    // calls let through before the first failure
};

// What a shell link was given through IShellLinkA before it was saved.
struct ShellLinkFields {
  std::string target, description, working_directory, arguments, icon;
  int icon_index = -1;
  bool icon_set = false;
  int show_command = -1;  // -1: never set
};

// One file that IPersistFile::Save wrote into the file tree.
struct SavedShellLink {
  std::u16string wide_name;  // the name Save was given
  std::string path;          // where it landed in the file tree
  ShellLinkFields fields;
  BOOL remember = FALSE;
};

// The COM shell-link object: the calls' answers are staged as faults by name
// ("CoInitialize", "CoCreateInstance", "QueryInterface", "IPersistFile::Save").
struct ShellLinks {
  HRESULT save_answer = S_OK;  // what a Save that wrote its file reports
  int live_objects = 0;        // shell links not yet fully released
  std::vector<SavedShellLink> saved;
};

// ShellExecuteA: unless an answer is staged, an item (file or folder) that
// exists in the file tree is accepted (42) and any other is not found (2).
struct ShellLaunches {
  struct Launch {
    std::string item;
    std::string current_directory;
  };
  std::optional<std::intptr_t> answer;
  std::vector<Launch> accepted;
};

// ExitWindowsEx: refused unless staged, as for a process without the
// shutdown privilege enabled.
struct Restarts {
  BOOL answer = FALSE;
  int requests = 0;
};

struct Machine {
  Registry registry;
  FileSystem files;
  std::string system_directory = "C:\\WINDOWS\\system32";
  std::string windows_directory = "C:\\WINDOWS";
  RuntimeLocale locale;
  ShellLinks shell_links;
  ShellLaunches launches;
  Restarts restarts;
  std::map<std::string, Fault> faults;
  std::vector<std::string> calls;
  // Machine and display facts, the clocks, the drives by letter (A to Z).
  std::string computer_name = "ZOZUDU-SIM";
  std::uint64_t total_physical_memory = 512ull << 20;
  Display display;
  Clock clock;
  std::map<char, Drive> drives;
  int find_handles_open = 0;
  // The process's error mode, as SetErrorMode reads and replaces it.
  UINT error_mode = 0;
  // Sees every logged call as it happens (a test that watches a moment no
  // later check can reach, such as the process's exit).
  std::function<void(const std::string&)> call_observer;
};

// The process's machine. Access it only between calls into the module, or
// under the lock that the simulated operations take.
Machine& machine();
std::recursive_mutex& machine_lock();

// Adds a drive; a drive with a medium gets its root directory in the file tree.
Drive& add_drive(Machine& m, char letter, UINT type, bool has_medium = true);

// A fresh default machine: no faults, an empty call log.
void reset();
void stage_default(Machine& m);

// Makes the named operation fail (once, or until cleared). For operations
// that return a status, `status` is that status.
// `after` lets that many calls through first.
void fail(const std::string& operation, FailMode mode = FailMode::always, long status = 0,
          int after = 0);
void clear_faults();

// Used by the simulated operations.
bool take_fault(const std::string& operation, long* status = nullptr);
void log_call(std::string line);

// How many log lines start with `prefix`.
int count_calls(const std::string& prefix);

}  // namespace sim
