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
#include <set>
#include <string>
#include <vector>

#include "platform/host/win_types.h"
#include "platform/operations.h"
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

// Every operation of the seam, by its row in platform/operations.h; COM
// methods are Interface_Method.
enum class Op : int {
#define ZOZUDU_SIM_OP(name, kind, failure) name,
  ZOZUDU_WIN_OPERATIONS(ZOZUDU_SIM_OP) ZOZUDU_CRT_OPERATIONS(ZOZUDU_SIM_OP)
#undef ZOZUDU_SIM_OP
};
constexpr int operation_count = 0
#define ZOZUDU_SIM_COUNT(name, kind, failure) +1
    ZOZUDU_WIN_OPERATIONS(ZOZUDU_SIM_COUNT) ZOZUDU_CRT_OPERATIONS(ZOZUDU_SIM_COUNT)
#undef ZOZUDU_SIM_COUNT
    ;

// The name the log gives the operation ("RegOpenKeyExA", "IShellLinkA::SetPath").
const char* op_name(Op op);
// How the operation reports failing, from the table.
const char* op_failure(Op op);

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
struct ReceivedLinkFields {
  std::string target, description, working_directory, arguments, icon;
  int icon_index = -1;
  bool icon_set = false;
  int show_command = -1;  // -1: never set
};

// One file that IPersistFile::Save wrote into the file tree.
struct SavedShellLink {
  std::u16string wide_name;  // the name Save was given
  std::string path;          // where it landed in the file tree
  ReceivedLinkFields fields;
  BOOL remember = FALSE;
};

// The COM shell-link object: its calls' failures are staged as faults
// (Op::CoCreateInstance, Op::IShellLinkA_QueryInterface, Op::IPersistFile_Save ...).
struct ShellLinks {
  HRESULT save_answer = S_OK;    // what a Save that wrote its file reports
  HRESULT create_answer = S_OK;  // what a creation that made its object reports
  int live_objects = 0;          // shell links not yet fully released
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

// One entry of the call log: the operation and its line of text (the
// operation's name, then its arguments).
struct Call {
  Op op;
  std::string line;
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
  std::map<Op, Fault> faults;
  std::vector<Call> calls;
  // Operations called too often to log one by one (the performance counter
  // in a wait) are counted here instead; the fault switch serves them alike.
  std::map<Op, std::uint64_t> counted_calls;
  // Machine and display facts, the clocks, the drives by letter (A to Z).
  std::string computer_name = "ZOZUDU-SIM";
  std::uint64_t total_physical_memory = 512ull << 20;
  Display display;
  Clock clock;
  std::map<char, Drive> drives;
  int find_handles_open = 0;
  // Blocks from the runtime's malloc and strdup not yet given to its free;
  // and blocks whose free was made to fail, kept until reset().
  std::set<void*> runtime_blocks;
  std::vector<void*> kept_blocks;
  // The process's error mode, as SetErrorMode reads and replaces it.
  UINT error_mode = 0;
  // Sees every logged call as it happens (a test that watches a moment no
  // later check can reach, such as the process's exit).
  std::function<void(const Call&)> call_observer;
};

// What the process holds of the machine at one moment: registry keys opened
// (RegOpenKeyExA, RegCreateKeyExA) and not closed, find handles, device
// contexts, COM objects and runtime blocks not given back; and the shared
// state that only a method made for it may change.
struct Holdings {
  int registry_keys = 0;
  int find_handles = 0;
  int device_contexts = 0;
  int com_objects = 0;
  int runtime_blocks = 0;
  std::string current_directory;
  bool user_locale = false;
};
Holdings holdings();

// The process's machine. Access it only between calls into the module, or
// under the lock that the simulated operations take.
Machine& machine();
std::recursive_mutex& machine_lock();

// Adds a drive; a drive with a medium gets its root directory in the file tree.
Drive& add_drive(Machine& m, char letter, UINT type, bool has_medium = true);

// A fresh default machine: no faults, an empty call log.
void reset();
void stage_default(Machine& m);

// Makes the operation fail (once, or until cleared), as its row in
// platform/operations.h says it fails. For operations that return a status
// or a code, `status` is that answer; 0, or a status that is no failure,
// gives the operation's usual failure status. `after` lets that many calls
// through first, so `after` = n with FailMode::once fails exactly the n-th
// occurrence (counted from 0) of the operation.
void fail(Op operation, FailMode mode = FailMode::always, long status = 0, int after = 0);
void clear_faults();

// The runtime heap's ledger: a block handed out, a block given back (kept
// allocated when its free was made to fail).
void* hand_out_block(void* block);
void take_back_block(void* block, bool kept);

// Used by the simulated operations: logs the call (the operation's name,
// then `arguments` when there are any) and answers whether this occurrence
// fails, with the staged status.
bool log_call(Op operation, const std::string& arguments = "", long* status = nullptr);
// The same for an operation counted instead of logged.
bool count_call(Op operation, long* status = nullptr);
// Whether this occurrence fails, without logging it.
bool take_fault(Op operation, long* status = nullptr);

// How a text argument appears in the call log: in quotes, or null.
std::string quoted(const char* text);

// How many log lines start with `prefix`.
int count_calls(const std::string& prefix);
// How many times the operation was called, logged or counted.
int count_calls(Op operation);
// The log's lines, in order.
std::vector<std::string> call_lines();

}  // namespace sim
