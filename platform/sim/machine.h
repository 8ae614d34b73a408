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
#include "platform/sim/registry.h"

namespace sim {

// The C runtime's locale as the Windows runtime keeps it: "C" from start-up
// until setlocale switches to the user's default.
struct RuntimeLocale {
  bool user_default = false;
  std::string user_name = "English_United States.1252";
  int user_code_page = 1252;
};

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
